#pragma once

// Binds the main queue to Qt's event loop.

#include "platform/linux/thread_scheduler.h"

namespace kd {

// Queues each function on QCoreApplication::instance()'s thread, callable
// from any thread. Functions posted while no application exists are dropped,
// since nothing would ever run them.
MainLoopPoster qtMainLoopPoster();

}  // namespace kd
