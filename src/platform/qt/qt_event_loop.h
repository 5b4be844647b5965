#pragma once

// The process's event loop without a window: runs the main queue until the
// program is asked to quit, by `quit()` or by SIGINT or SIGTERM.

#include <memory>

namespace kd {

class QtEventLoop {
  public:
    // Creates the Qt application object; one per process, on the main thread.
    QtEventLoop(int& argc, char** argv);
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
