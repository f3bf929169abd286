#pragma once

#include <string_view>

namespace velluma {

// The models' names, as the settings store them and the settings dialog offers them; the last
// names no instrument.
inline constexpr std::string_view kCa210Model = "CA-210";
inline constexpr std::string_view kCa310Model = "CA-310";
inline constexpr std::string_view kI1ProModel = "i1-Pro";
inline constexpr std::string_view kPr655Model = "PR-655";
inline constexpr std::string_view kNoInstrumentModel = "NoConnect";
inline constexpr std::string_view kInstrumentModelNames[] = {kCa210Model, kCa310Model, kI1ProModel,
                                                             kPr655Model, kNoInstrumentModel};

// Which driver measures for a model.
enum class InstrumentFamily {
  Ca,    // CA-210 and CA-310 through the CA-SDK server (CaAnalyzer)
  I1,    // i1-Pro through the EyeOne library (EyeOneAnalyzer)
  Pr,    // PR-655 on its serial line (Pr655Analyzer)
  None,  // "NoConnect", and any text that names no model
};

// One "AnalizerModel" choice and what it means to the program.
struct InstrumentModel {
  std::string_view name;
  InstrumentFamily family;
  int driverKind;       // the kind its driver is made with (CA-210 1, CA-310 2, i1-Pro 3, PR-655 0)
  bool asksOperator;    // the operator confirms the calibration plate and the screen (i1-Pro)
  bool reachedOverUsb;  // its port is "USB": the settings dialog selects it after this model
};

// The model a "AnalizerModel" text names; the "NoConnect" entry for any text that names none.
const InstrumentModel& InstrumentModelNamed(std::string_view name);

}  // namespace velluma
