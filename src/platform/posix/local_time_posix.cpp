#include "platform/local_time.h"

#include <ctime>

namespace platform {

LocalTime GetLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm fields{};
  localtime_r(&now, &fields);
  return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec};
}

int LocalMillisecondOfDay() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  std::tm fields{};
  localtime_r(&now.tv_sec, &fields);
  return ((fields.tm_hour * 60 + fields.tm_min) * 60 + fields.tm_sec) * 1000 + static_cast<int>(now.tv_nsec / 1000000);
}

}  // namespace platform
