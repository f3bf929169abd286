#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velluma::history {

// The procedures that talk to the monitor, one record each.
enum class Kind { Auto, Verification, ZeroCal, SendCalibration, SendLut, SendFilmGamma, Correct };

// The name a kind is stored and shown under: "auto", "verify", "zero-cal", "send-calibration",
// "send-lut", "send-film-gamma", "correct".
std::string_view KindName(Kind kind);

// The kind named `name` (as KindName writes it); false, `kind` untouched, for any other text.
bool ParseKind(std::string_view name, Kind& kind);

// One run of a procedure as the history keeps it.
struct Record {
  std::int64_t id = 0;  // given by the store when the record is appended
  std::string timeUtc;  // ISO 8601 in UTC to the second: "2026-12-09T17:05:53Z"
  std::string host;     // the computer the station ran on
  std::string user;     // the operator's login
  Kind kind = Kind::Auto;
  std::string monitorModel;
  std::string monitorPort;
  std::string monitorLink;  // "RS-232C" or the addressed link's text
  int monitorSpeed = 0;     // bits per second
  std::string instrument;
  std::string instrumentPort;
  std::string outcome;  // the report text, as the operator saw it
  int resultCode = 0;
  // What the kind of run measured or sent, in the order the procedure reports it:
  // {"max_bright", "260.1"}, {"rgb_verdict", "OK"}, {"file", "/x/run.txt"}, {"frames", "257"}, …
  std::vector<std::pair<std::string, std::string>> figures;

  // The value of the first figure called `name`; nullptr when the record has none.
  const std::string* Figure(std::string_view name) const;

  bool operator==(const Record&) const = default;
};

}  // namespace velluma::history
