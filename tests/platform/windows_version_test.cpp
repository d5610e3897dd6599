#include "platform/windows_version.h"

#include <gtest/gtest.h>

namespace vuni {
namespace {

TEST(WindowsVersionClass, FollowsTheTableAndTellsServersApart) {
    struct Case {
        WindowsVersionFacts facts;
        int expected;
    };
    const Case cases[] = {
        {{kPlatformWin32Windows, 4, 0, 1}, 10},
        {{kPlatformWin32Windows, 4, 10, 1}, 30},
        {{kPlatformWin32Windows, 4, 90, 1}, 40},
        {{kPlatformWin32Nt, 3, 51, 1}, 5},
        {{kPlatformWin32Nt, 4, 0, 1}, 20},
        {{kPlatformWin32Nt, 5, 0, 3}, 50},
        {{kPlatformWin32Nt, 5, 1, 1}, 60},
        {{kPlatformWin32Nt, 5, 2, 1}, 60},
        {{kPlatformWin32Nt, 5, 2, 3}, 65},
        {{kPlatformWin32Nt, 5, 2, 2}, 65},
        {{kPlatformWin32Nt, 6, 0, 1}, 70},
        {{kPlatformWin32Nt, 6, 0, 3}, 75},
        {{kPlatformWin32Nt, 6, 1, 3}, 75},
        {{kPlatformWin32Nt, 6, 1, 1}, 80},
        {{kPlatformWin32Nt, 6, 2, 1}, 100},
        {{kPlatformWin32Nt, 10, 0, 1}, 100},
        {{0, 0, 0, 0}, 100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WindowsVersionClassOf(c.facts), c.expected)
            << c.facts.platformId << " " << c.facts.major << "." << c.facts.minor << " type "
            << int(c.facts.productType);
    }
}

} // namespace
} // namespace vuni
