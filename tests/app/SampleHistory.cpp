#include "tests/app/SampleHistory.h"

#include <chrono>
#include <cstdio>

namespace velluma::test {

namespace {

std::string Time(int day, int hour) {
  using namespace std::chrono;
  const year_month_day date{sys_days{2026y / November / 1} + days{day}};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:00Z", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), hour,
                (day * 17) % 60);
  return text;
}

std::string Fixed(double value, const char* format) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

history::Record Run(history::Kind kind, int day, int hour) {
  history::Record record;
  record.kind = kind;
  record.timeUtc = Time(day, hour);
  record.host = "grading-3";
  record.user = "mlefevre";
  record.monitorModel = "QX-7MR520";
  record.monitorPort = "COM1";
  record.monitorLink = "RS-232C";
  record.monitorSpeed = 38400;
  record.instrument = "CA-310";
  record.instrumentPort = "USB";
  return record;
}

}  // namespace

void WriteSampleHistory(history::HistoryStore& store) {
  for (int day = 0; day < 35; ++day) {
    const double drift = (day % 14) / 14.0;  // recalibrated every second week
    if (day % 3 == 0) {
      history::Record record = Run(history::Kind::Auto, day, 8);
      const double bright = 262.0 - 9.0 * drift + (day % 4) * 0.4;
      record.outcome = "Auto\t\tComplete.\nMaxBright\t\t " + Fixed(bright, "%.0f");
      record.figures = {{"max_bright", Fixed(bright, "%.3f")},
                        {"rgb_verdict", "OK"},
                        {"file", "/srv/suite3/calibration/" + Time(day, 8).substr(0, 10) + ".txt"}};
      store.Append(record);
    }
    if (day % 7 == 6) {
      history::Record record = Run(history::Kind::Verification, day, 18);
      const double average = 0.35 + 1.1 * drift, maximum = 0.8 + 1.9 * drift;
      const bool passes = average <= 1.0 && maximum <= 2.0;
      record.outcome = std::string(passes ? "Verification passed" : "Verification NG") +
                       ": ΔE2000 greys average " + Fixed(average, "%.2f") + ", maximum " +
                       Fixed(maximum, "%.2f");
      record.resultCode = passes ? 0 : 1;
      record.figures = {{"grey_de_average", Fixed(average, "%.3f")},
                        {"grey_de_maximum", Fixed(maximum, "%.3f")},
                        {"patches", "27 of 27"}};
      store.Append(record);
    }
    if (day % 5 == 2) {
      history::Record record = Run(history::Kind::SendLut, day, 10);
      const bool refused = day == 22;
      record.outcome = refused ? "monitor: Communication Error" : "Complete.";
      record.resultCode = refused ? 2 : 0;
      record.figures = {{"memory", "USER2"},
                        {"file", "/srv/looks/show-rec709.cube"},
                        {"frames", refused ? "112" : "259"}};
      store.Append(record);
    }
  }
}

}  // namespace velluma::test
