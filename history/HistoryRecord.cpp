#include "history/HistoryRecord.h"

#include <array>

namespace velluma::history {

namespace {
struct KindEntry {
  Kind kind;
  std::string_view name;
};

constexpr std::array<KindEntry, 7> kKinds{{
    {Kind::Auto, "auto"},
    {Kind::Verification, "verify"},
    {Kind::ZeroCal, "zero-cal"},
    {Kind::SendCalibration, "send-calibration"},
    {Kind::SendLut, "send-lut"},
    {Kind::SendFilmGamma, "send-film-gamma"},
    {Kind::Correct, "correct"},
}};
}  // namespace

std::string_view KindName(Kind kind) {
  for (const KindEntry& entry : kKinds)
    if (entry.kind == kind) return entry.name;
  return "unknown";
}

bool ParseKind(std::string_view name, Kind& kind) {
  for (const KindEntry& entry : kKinds) {
    if (entry.name != name) continue;
    kind = entry.kind;
    return true;
  }
  return false;
}

const std::string* Record::Figure(std::string_view name) const {
  for (const auto& [figureName, value] : figures)
    if (figureName == name) return &value;
  return nullptr;
}

}  // namespace velluma::history
