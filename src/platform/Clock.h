#pragma once

#include <chrono>

namespace platform {

// A local date and time to the millisecond, in the user's time zone.
using LocalDateTime = std::chrono::local_time<std::chrono::milliseconds>;

LocalDateTime LocalNow();

}  // namespace platform
