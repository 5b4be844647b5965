#include "selftest/groups.h"

namespace kd::groups {

void testWindowChrome(SelfTest& t, SelfTestContext& context) {
    if (context.windows.chrome) context.windows.chrome(t);
}

void testLanguage(SelfTest& t, SelfTestContext& context) {
    if (context.windows.language) context.windows.language(t);
}

}  // namespace kd::groups
