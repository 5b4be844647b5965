#include "platform/linux/x_screen_grabber.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/damage.h>
#include <xcb/shm.h>

#include <cstdlib>
#include <cstring>

namespace kd {

namespace {

template <typename T>
struct FreeDeleter {
    void operator()(T* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter<T>>;

const xcb_visualtype_t* findVisual(const xcb_screen_t* screen, xcb_visualid_t id) {
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem;
         xcb_depth_next(&depths)) {
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
             xcb_visualtype_next(&visuals)) {
            if (visuals.data->visual_id == id) return visuals.data;
        }
    }
    return nullptr;
}

int bitsPerPixel(const xcb_setup_t* setup, std::uint8_t depth) {
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
         xcb_format_next(&formats)) {
        if (formats.data->depth == depth) return formats.data->bits_per_pixel;
    }
    return 0;
}

}  // namespace

std::variant<std::unique_ptr<XScreenGrabber>, std::string> XScreenGrabber::open(
    const std::string& name) {
    xcb_connection_t* connection = xcb_connect(name.c_str(), nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return "Cannot open the X display " + name + ".";
    }
    std::unique_ptr<XScreenGrabber> grabber(new XScreenGrabber(connection, name));
    if (auto error = grabber->setUp()) return *error;
    return grabber;
}

std::optional<std::pair<int, int>> XScreenGrabber::screenSize(const std::string& name) {
    xcb_connection_t* connection = xcb_connect(name.c_str(), nullptr);
    std::optional<std::pair<int, int>> size;
    if (xcb_connection_has_error(connection) == 0) {
        XScreenGrabber probe(connection, name);
        if (!probe.readScreen()) size = std::pair(probe.width_, probe.height_);
        return size;  // the probe disconnects
    }
    xcb_disconnect(connection);
    return size;
}

XScreenGrabber::XScreenGrabber(xcb_connection_t* connection, std::string name)
    : connection_(connection), name_(std::move(name)) {}

XScreenGrabber::~XScreenGrabber() {
    if (damage_ != 0) xcb_damage_destroy(connection_, damage_);
    if (segment_ != 0) xcb_shm_detach(connection_, segment_);
    xcb_flush(connection_);
    xcb_disconnect(connection_);
    if (sharedPixels_ != nullptr) shmdt(sharedPixels_);
}

std::optional<std::string> XScreenGrabber::setUp() {
    if (auto error = readScreen()) return error;
    attachSharedMemory();
    trackDamage();
    if (xcb_connection_has_error(connection_) != 0) return lostConnection();
    return std::nullopt;
}

std::optional<std::string> XScreenGrabber::readScreen() {
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    // The first screen: Xvfb gives each virtual display a server of its own.
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    if (screen == nullptr) return "The X display " + name_ + " has no screen.";
    const xcb_visualtype_t* visual = findVisual(screen, screen->root_visual);
    if (screen->root_depth != 24 || bitsPerPixel(setup, screen->root_depth) != 32 ||
        setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST || visual == nullptr ||
        visual->red_mask != 0xff0000 || visual->green_mask != 0x00ff00 ||
        visual->blue_mask != 0x0000ff) {
        return "The X display " + name_ + " does not use 24-bit colour.";
    }
    root_ = screen->root;
    width_ = screen->width_in_pixels;
    height_ = screen->height_in_pixels;
    stride_ = static_cast<std::size_t>(width_) * 4;
    return std::nullopt;
}

void XScreenGrabber::attachSharedMemory() {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection_, &xcb_shm_id);
    if (extension == nullptr || extension->present == 0) return;
    const int id = shmget(IPC_PRIVATE, stride_ * height_, IPC_CREAT | 0600);
    if (id < 0) return;
    void* pixels = shmat(id, nullptr, SHM_RDONLY);
    if (pixels == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return;
    }
    const xcb_shm_seg_t segment = xcb_generate_id(connection_);
    // A server in another IPC namespace cannot attach; GetImage remains.
    Reply<xcb_generic_error_t> error(
        xcb_request_check(connection_, xcb_shm_attach_checked(connection_, segment, id, 0)));
    // Marked for removal now, the segment goes when both sides have detached,
    // even if this process dies.
    shmctl(id, IPC_RMID, nullptr);
    if (error) {
        shmdt(pixels);
        return;
    }
    segment_ = segment;
    sharedPixels_ = pixels;
}

void XScreenGrabber::trackDamage() {
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(connection_, &xcb_damage_id);
    if (extension == nullptr || extension->present == 0) return;
    Reply<xcb_damage_query_version_reply_t> version(xcb_damage_query_version_reply(
        connection_, xcb_damage_query_version(connection_, 1, 1), nullptr));
    if (!version) return;
    damage_ = xcb_generate_id(connection_);
    // One notice when the damaged region stops being empty; subtracting it
    // before each picture re-arms the notice.
    xcb_damage_create(connection_, damage_, root_, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    damageNotify_ = static_cast<std::uint8_t>(extension->first_event + XCB_DAMAGE_NOTIFY);
}

bool XScreenGrabber::drainDamage() {
    bool damaged = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        if ((event->response_type & 0x7f) == damageNotify_) damaged = true;
        std::free(event);
    }
    return damaged;
}

std::variant<XScreenGrabber::Grab, std::string> XScreenGrabber::grab() {
    // A round trip first: drawing the server did before it answers has had
    // its damage notice queued ahead of the answer, so "unchanged" is exact.
    Reply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    if (!sync) return lostConnection();
    const bool damaged = drainDamage();
    if (grabbedOnce_ && damage_ != 0 && !damaged) return Grab{false, pixels_, stride_};
    if (damage_ != 0) xcb_damage_subtract(connection_, damage_, XCB_NONE, XCB_NONE);

    xcb_generic_error_t* rawError = nullptr;
    if (segment_ != 0) {
        Reply<xcb_shm_get_image_reply_t> image(xcb_shm_get_image_reply(
            connection_,
            xcb_shm_get_image(connection_, root_, 0, 0, static_cast<std::uint16_t>(width_),
                              static_cast<std::uint16_t>(height_), ~0U, XCB_IMAGE_FORMAT_Z_PIXMAP,
                              segment_, 0),
            &rawError));
        Reply<xcb_generic_error_t> error(rawError);
        if (!image) {
            if (!error) return lostConnection();
            return "The X display " + name_ + " refused a picture (error " +
                   std::to_string(error->error_code) + ").";
        }
        pixels_ = static_cast<const std::uint8_t*>(sharedPixels_);
    } else {
        Reply<xcb_get_image_reply_t> image(
            xcb_get_image_reply(connection_,
                                xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, 0, 0,
                                              static_cast<std::uint16_t>(width_),
                                              static_cast<std::uint16_t>(height_), ~0U),
                                &rawError));
        Reply<xcb_generic_error_t> error(rawError);
        if (!image) {
            if (!error) return lostConnection();
            return "The X display " + name_ + " refused a picture (error " +
                   std::to_string(error->error_code) + ").";
        }
        const auto length = static_cast<std::size_t>(xcb_get_image_data_length(image.get()));
        copiedPixels_.assign(xcb_get_image_data(image.get()),
                             xcb_get_image_data(image.get()) + std::min(length, stride_ * height_));
        copiedPixels_.resize(stride_ * height_);
        pixels_ = copiedPixels_.data();
    }
    grabbedOnce_ = true;
    return Grab{true, pixels_, stride_};
}

std::string XScreenGrabber::lostConnection() const {
    return "The X display " + name_ + " closed the connection.";
}

}  // namespace kd
