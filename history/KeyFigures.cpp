#include "history/KeyFigures.h"

namespace velluma::history {

std::string KeyFigures(const Record& record) {
  std::string text;
  const auto add = [&](const char* label, const char* name) {
    if (const std::string* value = record.Figure(name)) {
      if (!text.empty()) text += "  ";
      text += std::string(label) + *value;
    }
  };
  switch (record.kind) {
    case Kind::Auto:
      add("MaxBright ", "max_bright");
      add("RGBch ", "rgb_verdict");
      add("", "file");
      break;
    case Kind::Verification:
      add("greys ΔE2000 average ", "grey_de_average");
      add("maximum ", "grey_de_maximum");
      add("", "report");
      break;
    case Kind::SendLut:
    case Kind::SendFilmGamma:
    case Kind::SendCalibration:
      add("", "memory");
      add("", "file");
      add("frames ", "frames");
      break;
    case Kind::Correct:
      add("", "memory");
      add("greys ΔE2000 average ", "before_grey_de_average");
      add("→ ", "after_grey_de_average");
      add("", "file");
      break;
    case Kind::ZeroCal:
      break;
  }
  return text;
}

}  // namespace velluma::history
