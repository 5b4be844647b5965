#pragma once

// Writing a whole buffer to a file descriptor, which one write() need not
// do: it may stop part way, or be interrupted by a signal before it starts.

#include <string_view>

namespace kd {

// Writes every byte of `bytes` to `fd`, going on after short and interrupted
// writes. 0 once all are written, else the errno of the write that failed.
// Blocks as `fd` does; any thread.
int writeAll(int fd, std::string_view bytes);

}  // namespace kd
