#include "platform/Clock.h"

#include <ctime>

namespace platform {

LocalDateTime LocalNow() {
  using namespace std::chrono;
  const auto now = floor<milliseconds>(system_clock::now());
  // The C library knows the zone's offset at this instant (daylight saving
  // included); the chrono zone database is not in every standard library.
  const std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return LocalDateTime{now.time_since_epoch()};
  return LocalDateTime{now.time_since_epoch() + std::chrono::seconds{local.tm_gmtoff}};
}

}  // namespace platform
