#pragma once

// The process's event loop: runs the main queue, and the windows when the
// application object has them, until the program is asked to quit, by
// `quit()` or by SIGINT or SIGTERM.

#include <memory>

class QCoreApplication;

namespace kd {

class QtEventLoop {
  public:
    // Creates a window-less Qt application object; one per process, on the
    // main thread.
    QtEventLoop(int& argc, char** argv);
    // Runs `app`, made by the caller (a QApplication for windows).
    explicit QtEventLoop(std::unique_ptr<QCoreApplication> app);
    ~QtEventLoop();
    QtEventLoop(const QtEventLoop&) = delete;
    QtEventLoop& operator=(const QtEventLoop&) = delete;

    // Returns the exit status once the loop has stopped.
    int run();
    void quit();

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kd
