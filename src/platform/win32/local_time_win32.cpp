#include "platform/local_time.h"

#include "platform/win32/win32_api.h"

namespace platform {

LocalTime GetLocalTime() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

int LocalMillisecondOfDay() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return ((now.wHour * 60 + now.wMinute) * 60 + now.wSecond) * 1000 + now.wMilliseconds;
}

}  // namespace platform
