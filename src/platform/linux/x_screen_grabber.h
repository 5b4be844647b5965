#pragma once

// Takes pictures of an X screen's root window over xcb: through a shared
// memory segment (MIT-SHM) when the server can reach it, by plain GetImage
// otherwise, and with DAMAGE to tell whether anything was drawn since the
// last picture.
//
// xcb, not Xlib: Xlib ends the whole process when its server goes away,
// and an X server here is a virtual display that stops whenever the user
// stops it. xcb reports a dead connection as an error, which ends the
// capture and nothing else.
//
// One grabber serves one thread at a time. Only 24-bit true-colour screens
// of 32 bits a pixel with the red, green and blue masks of BGRX bytes are
// taken, which is what Xvfb and every common server offer.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <xcb/xcb.h>

namespace kd {

class XScreenGrabber {
  public:
    struct Grab {
        bool changed = true;                   // false: nothing was drawn since the previous grab
        const std::uint8_t* pixels = nullptr;  // BGRX, valid until the next grab
        std::size_t stride = 0;
    };

    // Connects to the X display `name` (":12"), or answers why it cannot.
    static std::variant<std::unique_ptr<XScreenGrabber>, std::string> open(const std::string& name);
    // The size of the display's screen, asked of the server without taking
    // anything; none when it cannot be reached or is not in 24-bit colour.
    static std::optional<std::pair<int, int>> screenSize(const std::string& name);
    ~XScreenGrabber();
    XScreenGrabber(const XScreenGrabber&) = delete;
    XScreenGrabber& operator=(const XScreenGrabber&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    // Whether pictures travel through shared memory.
    bool sharedMemory() const { return segment_ != 0; }
    // Whether idle screens are told apart; without DAMAGE every grab counts as changed.
    bool tracksDamage() const { return damage_ != 0; }

    // The screen as it is now. The first grab always counts as changed; a
    // grab without change hands back the previous picture untouched.
    std::variant<Grab, std::string> grab();

  private:
    XScreenGrabber(xcb_connection_t* connection, std::string name);
    std::optional<std::string> setUp();
    std::optional<std::string> readScreen();
    void attachSharedMemory();
    void trackDamage();
    bool drainDamage();
    std::string lostConnection() const;

    xcb_connection_t* connection_;
    const std::string name_;
    xcb_window_t root_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::size_t stride_ = 0;

    std::uint32_t segment_ = 0;  // xcb_shm_seg_t
    void* sharedPixels_ = nullptr;
    std::vector<std::uint8_t> copiedPixels_;  // without shared memory
    const std::uint8_t* pixels_ = nullptr;

    std::uint32_t damage_ = 0;  // xcb_damage_damage_t
    std::uint8_t damageNotify_ = 0;
    bool grabbedOnce_ = false;
};

}  // namespace kd
