#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

// The eleven settings, and the verification target's: each value's name, type, default and the
// choices offered for it, written here once. Everything that reads or writes a setting names it
// through these descriptors (SettingsStore::Read and Write), so a name cannot be mistyped in one
// place of many.
namespace velluma::setting {

// A text value. `choices` are the texts the settings dialog and the command line offer; other
// texts may still be stored (each reader decides what an unknown text means).
struct Text {
  std::string_view name;
  std::string_view fallback;
  std::span<const std::string_view> choices;
};

// A 32-bit integer value.
struct Number {
  std::string_view name;
  std::int32_t fallback;
  std::span<const std::int32_t> choices;
};

inline constexpr std::string_view kCa210 = "CA-210";
inline constexpr std::string_view kCa310 = "CA-310";
inline constexpr std::string_view kI1Pro = "i1-Pro";
inline constexpr std::string_view kPr655 = "PR-655";
inline constexpr std::string_view kNoInstrument = "NoConnect";
inline constexpr std::string_view kPlainLink = "RS-232C";  // exactly this text: no id byte
inline constexpr std::string_view kBaselight = "Baselight";
inline constexpr std::string_view kDavinciResolve = "Davinci Resolve";

inline constexpr std::string_view kAnalyzerModels[] = {kCa210, kCa310, kI1Pro, kPr655,
                                                       kNoInstrument};
inline constexpr std::string_view kAnalyzerPorts[] = {"COM1", "COM2", "COM3", "COM4",
                                                      "COM5", "COM6", "USB"};
inline constexpr std::string_view kMonitorTypes[] = {kPlainLink};
inline constexpr std::string_view kMonitorPorts[] = {"COM1", "COM2", "COM3", "COM4", "COM5",
                                                     "COM6", "COM7", "COM8", "COM9"};
inline constexpr std::int32_t kMonitorSpeeds[] = {9600, 19200, 38400, 57600, 115200};
inline constexpr std::string_view kLutFileTypes[] = {kBaselight, kDavinciResolve};
// The monitor's user memories; the index of a name is the memory index everywhere.
inline constexpr std::string_view kMemories[] = {"USER1", "USER2", "USER3"};

inline constexpr Text kAnalyzerModel{"AnalizerModel", kNoInstrument, kAnalyzerModels};
inline constexpr Text kAnalyzerPort{"AnalizerPort", "USB", kAnalyzerPorts};
inline constexpr Number kAnalyzerSpeed{"AnalizerSpeed", 9600, {}};
inline constexpr Text kMonitorType{"MonitorType", kPlainLink, kMonitorTypes};
inline constexpr Text kMonitorPort{"MonitorPort", "COM1", kMonitorPorts};
inline constexpr Number kMonitorSpeed{"MonitorSpeed", 9600, kMonitorSpeeds};
inline constexpr Number kMonitorId{"MonitorId", 1, {}};
inline constexpr Number kLutFile{"LUTFile", 0, {}};
inline constexpr Text kLutFileType{"LutFileType", kBaselight, kLutFileTypes};
inline constexpr Text kLookUpTableSendTo{"LookUpTableSendTo", "USER1", kMemories};
inline constexpr Text kFilmGammaSendTo{"FilmGammaSendTo", "USER1", kMemories};

// All of them, in the order the store's start-up fills in the missing ones.
using Any = std::variant<Text, Number>;
inline constexpr Any kAll[] = {kAnalyzerModel, kAnalyzerPort,      kAnalyzerSpeed,  kMonitorType,
                               kMonitorPort,   kMonitorSpeed,      kMonitorId,      kLutFile,
                               kLutFileType,   kLookUpTableSendTo, kFilmGammaSendTo};

// The verification's target and verdict thresholds, as texts: a white point ("D65" or "x,y"),
// a tone curve, a gamut, the number of grey steps (2..256) and the thresholds of the ΔE2000
// averages and maxima. They are not among the values the store fills in at start-up: a
// verification reads a missing one as its fallback.
inline constexpr std::string_view kWhitePoints[] = {"D65"};
inline constexpr std::string_view kToneCurves[] = {"2.2", "2.4", "BT.1886"};
inline constexpr std::string_view kGamuts[] = {"Rec.709", "DCI-P3"};

inline constexpr Text kVerifyWhitePoint{"VerifyWhitePoint", "D65", kWhitePoints};
inline constexpr Text kVerifyToneCurve{"VerifyToneCurve", "2.2", kToneCurves};
inline constexpr Text kVerifyGamut{"VerifyGamut", "Rec.709", kGamuts};
inline constexpr Text kVerifyGreySteps{"VerifyGreySteps", "21", {}};
inline constexpr Text kVerifyGreyAverage{"VerifyGreyAverage", "1.0", {}};
inline constexpr Text kVerifyGreyMaximum{"VerifyGreyMaximum", "2.0", {}};
inline constexpr Text kVerifyColourAverage{"VerifyColourAverage", "3.0", {}};
inline constexpr Text kVerifyColourMaximum{"VerifyColourMaximum", "5.0", {}};

}  // namespace velluma::setting
