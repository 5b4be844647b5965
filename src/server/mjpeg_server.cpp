#include "server/mjpeg_server.h"

#include <array>
#include <asio.hpp>
#include <atomic>
#include <deque>
#include <future>
#include <map>
#include <optional>
#include <string_view>
#include <thread>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include "server/http_request.h"
#include "server/http_responses.h"
#include "server/viewer_page.h"

namespace kd {

namespace {

using asio::ip::tcp;

constexpr std::size_t kMaxRequestBytes = 8192;
constexpr int kMaxFramesInFlight = 3;
constexpr auto kFrameFreshness = std::chrono::seconds(4);
constexpr auto kPollerLiveness = std::chrono::seconds(4);
// After a failed accept (out of descriptors, say), so the listener does not spin.
constexpr auto kAcceptRetryDelay = std::chrono::milliseconds(100);

// One piece of a stream: the header sent first, or a frame part. Frame parts
// are built once per frame and shared by every stream client.
struct StreamPart {
    std::string head;
    MJPEGServer::Frame jpeg;  // empty for the stream header

    std::array<asio::const_buffer, 3> buffers() const {
        if (!jpeg) return {asio::buffer(head), asio::const_buffer(), asio::const_buffer()};
        return {asio::buffer(head), asio::buffer(*jpeg), asio::buffer(kStreamPartTail)};
    }
};

struct Connection {
    Connection(tcp::socket connected, std::string remoteText)
        : socket(std::move(connected)),
          deadline(socket.get_executor()),
          remote(std::move(remoteText)) {}

    tcp::socket socket;
    asio::steady_timer deadline;
    // Bumped whenever the deadline is armed or lifted, so a wait that had
    // already expired when it was re-armed does nothing.
    std::uint64_t deadlineSerial = 0;
    std::string remote;  // host and port, the key of its poller entry
    std::array<char, kMaxRequestBytes> received;
    bool open = true;
    bool streaming = false;
    // Stream pieces not yet written, oldest first; the front one is being
    // written while `writing`.
    std::deque<std::shared_ptr<const StreamPart>> pending;
    bool writing = false;
    int framesInFlight = 0;
};

using ConnectionPtr = std::shared_ptr<Connection>;

}  // namespace

class MJPEGServer::Impl {
  public:
    explicit Impl(Options options)
        : options_(withSteadyClock(std::move(options))),
          work_(asio::make_work_guard(io_)),
          acceptRetry_(io_),
          thread_([this] { io_.run(); }) {}

    ~Impl() {
        onQueue([this] { close(); });
        work_.reset();
        io_.stop();
        thread_.join();
    }

    // Runs `task` on the server's thread and returns its result.
    template <typename Task>
    auto onQueue(Task task) -> std::invoke_result_t<Task> {
        if (io_.get_executor().running_in_this_thread()) return task();
        std::packaged_task<std::invoke_result_t<Task>()> packaged(std::move(task));
        auto result = packaged.get_future();
        asio::post(io_, [&packaged] { packaged(); });
        return result.get();
    }

    void post(std::function<void()> task) { asio::post(io_, std::move(task)); }

    std::error_code start(std::uint16_t port, std::string token) {
        stop();
        token_ = std::move(token);
        tcp::acceptor acceptor(io_);
        const tcp::endpoint endpoint(asio::ip::address_v4::any(), port);
        std::error_code error;
        acceptor.open(endpoint.protocol(), error);
        if (!error) acceptor.set_option(tcp::acceptor::reuse_address(true), error);
        if (!error) acceptor.bind(endpoint, error);
        if (!error) acceptor.listen(asio::socket_base::max_listen_connections, error);
        if (error) return error;
        port_ = acceptor.local_endpoint(error).port();
        page_ = std::make_shared<const std::string>(viewerPage(token_));
        acceptor_.emplace(std::move(acceptor));
        ++listener_;
        accept();
        return {};
    }

    void stop() {
        close();
        reported_.reset();
        notify(0);
    }

    void send(Frame jpeg) {
        if (!acceptor_ || !jpeg) return;
        lastFrame_ = jpeg;
        lastFrameAt_ = options_.now();
        if (streams_.empty()) return;
        auto part = std::make_shared<const StreamPart>(
            StreamPart{streamPartHead(jpeg->size()), std::move(jpeg)});
        for (const auto& [key, client] : streams_) {
            // A client still holding three frames is not keeping up; it
            // misses this one, the others do not wait for it.
            if (client->framesInFlight >= kMaxFramesInFlight) continue;
            ++client->framesInFlight;
            client->pending.push_back(part);
            writeNext(client);
        }
    }

    int liveCount() const {
        const auto now = options_.now();
        int count = static_cast<int>(streams_.size());
        for (const auto& [remote, polledAt] : pollers_) {
            if (now - polledAt < kPollerLiveness) ++count;
        }
        return count;
    }

    void setOnClientChange(std::function<void(int)> onClientChange) {
        onClientChange_ = std::move(onClientChange);
    }

    std::uint16_t port() const { return port_; }

  private:
    static Options withSteadyClock(Options options) {
        if (!options.now) options.now = [] { return Clock::now(); };
        return options;
    }

    // A page polls many times a second; only a count the owner has not
    // been told yet is worth a hop to its thread.
    void notify(int count) {
        if (reported_ == count) return;
        reported_ = count;
        if (onClientChange_) onClientChange_(count);
    }

    // Closes the listener and every connection and forgets the frame and
    // the pollers. Handlers still queued for them find them closed.
    void close() {
        acceptor_.reset();
        acceptRetry_.cancel();
        for (const auto& [key, connection] : connections_) shut(*connection);
        connections_.clear();
        streams_.clear();
        pollers_.clear();
        lastFrame_.reset();
        lastFrameAt_ = Clock::time_point::min();
        page_.reset();
    }

    static void shut(Connection& connection) {
        connection.open = false;
        std::error_code ignored;
        connection.socket.close(ignored);
        connection.deadline.cancel();
        connection.pending.clear();
        connection.framesInFlight = 0;
    }

    // One accept outstanding per listener; a completion that arrives after
    // its listener was replaced belongs to nobody.
    void accept() {
        acceptor_->async_accept(
            [this, listener = listener_](std::error_code error, tcp::socket socket) {
                if (!acceptor_ || listener != listener_) return;
                if (error) {
                    acceptRetry_.expires_after(kAcceptRetryDelay);
                    acceptRetry_.async_wait([this, listener](std::error_code waitError) {
                        if (!waitError && acceptor_ && listener == listener_) accept();
                    });
                    return;
                }
                admit(std::move(socket));
                accept();
            });
    }

    void admit(tcp::socket socket) {
        std::error_code error;
        const tcp::endpoint remote = socket.remote_endpoint(error);
        // Refused at once, so idle connections cannot use up the process's
        // descriptors and lock every viewer out.
        if (error || connections_.size() >= options_.maxConnections) return;
        auto connection = std::make_shared<Connection>(
            std::move(socket), remote.address().to_string() + ":" + std::to_string(remote.port()));
        connections_.emplace(connection.get(), connection);
        readRequest(connection);
    }

    void armDeadline(const ConnectionPtr& connection) {
        const std::uint64_t serial = ++connection->deadlineSerial;
        connection->deadline.expires_after(options_.requestPatience);
        connection->deadline.async_wait([this, connection, serial](std::error_code error) {
            if (!error && connection->deadlineSerial == serial) drop(connection);
        });
    }

    void liftDeadline(const ConnectionPtr& connection) {
        ++connection->deadlineSerial;
        connection->deadline.cancel();
    }

    // Only the first receive of a request is read; headers are never parsed.
    void readRequest(const ConnectionPtr& connection) {
        armDeadline(connection);
        connection->socket.async_read_some(
            asio::buffer(connection->received),
            [this, connection](std::error_code error, std::size_t length) {
                if (!connection->open) return;
                if (error || length == 0) return drop(connection);
                const auto route =
                    routeRequest(std::string_view(connection->received.data(), length), token_);
                if (!route) return drop(connection);
                handle(connection, *route);
            });
    }

    void handle(const ConnectionPtr& connection, HttpRoute route) {
        switch (route) {
            case HttpRoute::notFound:
                return answer(connection, kStatusNotFound, "text/plain",
                              asio::buffer(kNotFoundBody), nullptr, false);
            case HttpRoute::page:
                return answer(connection, kStatusOk, "text/html; charset=utf-8",
                              asio::buffer(*page_), page_, true);
            case HttpRoute::frame: {
                const auto now = options_.now();
                if (!lastFrame_ || lastFrame_->empty() || now - lastFrameAt_ >= kFrameFreshness) {
                    return answer(connection, kStatusUnavailable, "text/plain",
                                  asio::buffer(kNoFrameBody), nullptr, true);
                }
                pollers_[connection->remote] = now;
                notify(liveCount());
                return answer(connection, kStatusOk, "image/jpeg", asio::buffer(*lastFrame_),
                              lastFrame_, true);
            }
            case HttpRoute::stream:
                liftDeadline(connection);
                connection->streaming = true;
                connection->pending.push_back(
                    std::make_shared<const StreamPart>(StreamPart{streamHead(), nullptr}));
                writeNext(connection);
                streams_.emplace(connection.get(), connection);
                return notify(liveCount());
        }
    }

    // One write of head and body; `body` stays alive through `keep`. An
    // answer that is not taken within the patience closes the connection.
    void answer(const ConnectionPtr& connection, std::string_view status,
                std::string_view contentType, asio::const_buffer body,
                std::shared_ptr<const void> keep, bool keepAlive) {
        auto head = std::make_shared<const std::string>(
            answerHead(status, contentType, body.size(), keepAlive));
        const std::array<asio::const_buffer, 2> buffers{asio::buffer(*head), body};
        armDeadline(connection);
        asio::async_write(connection->socket, buffers,
                          [this, connection, head, keep = std::move(keep), keepAlive](
                              std::error_code error, std::size_t) {
                              if (!connection->open) return;
                              if (error || !keepAlive) return drop(connection);
                              readRequest(connection);
                          });
    }

    void writeNext(const ConnectionPtr& connection) {
        if (connection->writing || connection->pending.empty()) return;
        connection->writing = true;
        const auto part = connection->pending.front();
        asio::async_write(connection->socket, part->buffers(),
                          [this, connection, part](std::error_code error, std::size_t) {
                              if (!connection->open) return;
                              connection->writing = false;
                              connection->pending.pop_front();
                              if (part->jpeg) --connection->framesInFlight;
                              if (error) return drop(connection);
                              writeNext(connection);
                          });
    }

    void drop(const ConnectionPtr& connection) {
        if (!connection->open) return;
        shut(*connection);
        connections_.erase(connection.get());
        const bool wasStream = streams_.erase(connection.get()) > 0;
        const bool wasPoller = pollers_.erase(connection->remote) > 0;
        if (wasStream || wasPoller) notify(liveCount());
    }

    Options options_;
    asio::io_context io_;
    asio::executor_work_guard<asio::io_context::executor_type> work_;
    std::optional<tcp::acceptor> acceptor_;
    asio::steady_timer acceptRetry_;
    std::uint64_t listener_ = 0;  // which listener an accept belongs to
    std::string token_;
    std::shared_ptr<const std::string> page_;
    std::atomic<std::uint16_t> port_{0};
    std::unordered_map<const Connection*, ConnectionPtr> connections_;
    std::unordered_map<const Connection*, ConnectionPtr> streams_;
    std::map<std::string, Clock::time_point> pollers_;
    Frame lastFrame_;
    Clock::time_point lastFrameAt_ = Clock::time_point::min();
    std::function<void(int)> onClientChange_;
    std::optional<int> reported_;  // the count last told to the owner
    std::thread thread_;           // last, so it starts after everything it uses
};

MJPEGServer::MJPEGServer() : MJPEGServer(Options{}) {}

MJPEGServer::MJPEGServer(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {}

MJPEGServer::~MJPEGServer() = default;

std::error_code MJPEGServer::start(std::uint16_t port, std::string token) {
    return impl_->onQueue(
        [impl = impl_.get(), port, &token] { return impl->start(port, std::move(token)); });
}

void MJPEGServer::stop() {
    impl_->onQueue([impl = impl_.get()] { impl->stop(); });
}

void MJPEGServer::send(Frame jpeg) {
    impl_->post(
        [impl = impl_.get(), jpeg = std::move(jpeg)]() mutable { impl->send(std::move(jpeg)); });
}

int MJPEGServer::clientCount() const {
    return impl_->onQueue([impl = impl_.get()] { return impl->liveCount(); });
}

void MJPEGServer::setOnClientChange(std::function<void(int)> onClientChange) {
    impl_->onQueue([impl = impl_.get(), &onClientChange] {
        impl->setOnClientChange(std::move(onClientChange));
    });
}

std::uint16_t MJPEGServer::port() const {
    return impl_->port();
}

}  // namespace kd
