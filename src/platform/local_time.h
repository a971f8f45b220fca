#pragma once

namespace platform {

// The fields of the local date and time that the program shows or puts into file names.
struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

LocalTime GetLocalTime();
// The local time of day in milliseconds since midnight, 0..86399999.
int LocalMillisecondOfDay();

}  // namespace platform
