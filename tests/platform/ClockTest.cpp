#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/Clock.h"

namespace {

using namespace std::chrono;

// The local time is the universal time moved by the zone's offset, in the
// right direction: a translator east of Greenwich dates work ahead of UTC.
TEST(Clock, LocalNowFollowsTheZoneOffset) {
  const char* saved = std::getenv("TZ");
  const std::string previous = saved ? saved : "";
  for (auto [zone, offset] : {std::pair{"UTC0", 0h}, std::pair{"EET-2", 2h},
                              std::pair{"EST5", -5h}}) {
    setenv("TZ", zone, 1);
    tzset();
    const auto expected = system_clock::now().time_since_epoch() + offset;
    const auto difference = platform::LocalNow().time_since_epoch() - expected;
    EXPECT_LT(abs(duration_cast<milliseconds>(difference)), 5s) << zone;
  }
  if (saved) setenv("TZ", previous.c_str(), 1); else unsetenv("TZ");
  tzset();
}

}  // namespace
