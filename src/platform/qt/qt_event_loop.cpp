#include "platform/qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

#include <stdexcept>

namespace kd {

namespace {

// A signal handler may only write to a descriptor; the loop reads the other
// end and quits on its own thread.
volatile std::sig_atomic_t signalPipeWriteEnd = -1;

void onQuitSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipeWriteEnd, &byte, 1);
}

}  // namespace

class QtEventLoop::Impl {
  public:
    explicit Impl(std::unique_ptr<QCoreApplication> made) : app(std::move(made)) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipe) != 0) {
            throw std::runtime_error("cannot create the signal pipe");
        }
        signalPipeWriteEnd = pipe[0];
        notifier = std::make_unique<QSocketNotifier>(pipe[1], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, app.get(), [this] {
            char drain[16];
            while (::read(pipe[1], drain, sizeof drain) > 0) {
            }
            QCoreApplication::quit();
        });
        struct sigaction action {};
        action.sa_handler = onQuitSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &action, &previousInt);
        ::sigaction(SIGTERM, &action, &previousTerm);
    }

    ~Impl() {
        ::sigaction(SIGINT, &previousInt, nullptr);
        ::sigaction(SIGTERM, &previousTerm, nullptr);
        notifier.reset();
        signalPipeWriteEnd = -1;
        ::close(pipe[0]);
        ::close(pipe[1]);
    }

    std::unique_ptr<QCoreApplication> app;
    int pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    struct sigaction previousInt {};
    struct sigaction previousTerm {};
};

QtEventLoop::QtEventLoop(int& argc, char** argv)
    : QtEventLoop(std::make_unique<QCoreApplication>(argc, argv)) {}

QtEventLoop::QtEventLoop(std::unique_ptr<QCoreApplication> app)
    : impl_(std::make_unique<Impl>(std::move(app))) {}

QtEventLoop::~QtEventLoop() = default;

int QtEventLoop::run() {
    return QCoreApplication::exec();
}

void QtEventLoop::quit() {
    QCoreApplication::quit();
}

}  // namespace kd
