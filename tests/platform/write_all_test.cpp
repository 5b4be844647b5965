#include "platform/write_all.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/unique_fd.h"

namespace kd {
namespace {

TEST(WriteAllTest, WritesEverythingOrNamesTheFailure) {
    const std::string megabyte(1 << 20, 'x');
    const UniqueFd sink(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    EXPECT_EQ(writeAll(sink.get(), megabyte), 0);
    EXPECT_EQ(writeAll(sink.get(), ""), 0);
    const UniqueFd full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
    EXPECT_EQ(writeAll(full.get(), megabyte), ENOSPC);
    EXPECT_EQ(writeAll(-1, "x"), EBADF);
}

}  // namespace
}  // namespace kd
