#pragma once

#include <cstdint>
#include <string_view>

#include "colour/Target.h"
#include "datamodel/UserMemoryTables.h"
#include "instruments/InstrumentModel.h"
#include "lut/LUTFileLoad.h"
#include "platform/SettingDescriptors.h"

// The station's settings: the eleven the store fills in at start-up and the verification
// target's, each value's stored name, type, default and the choices offered for it, written here
// once. The names they offer belong to the layers that give them a meaning: the instrument
// models, the monitor's user memories, the tone curves, gamuts and white points.
namespace velluma::setting {

inline constexpr std::string_view kPlainLink = "RS-232C";  // exactly this text: no id byte
inline constexpr std::string_view kBaselight = kBaselightFileType;
inline constexpr std::string_view kDavinciResolve = "Davinci Resolve";

inline constexpr std::string_view kAnalyzerPorts[] = {"COM1", "COM2", "COM3", "COM4",
                                                      "COM5", "COM6", "USB"};
inline constexpr std::string_view kMonitorTypes[] = {kPlainLink};
inline constexpr std::string_view kMonitorPorts[] = {"COM1", "COM2", "COM3", "COM4", "COM5",
                                                     "COM6", "COM7", "COM8", "COM9"};
inline constexpr std::int32_t kMonitorSpeeds[] = {9600, 19200, 38400, 57600, 115200};
inline constexpr std::string_view kLutFileTypes[] = {kBaselight, kDavinciResolve};
inline constexpr const auto& kMemories = UserMemoryTables::kMemoryNames;

inline constexpr Text kAnalyzerModel{"AnalizerModel", kNoInstrumentModel, kInstrumentModelNames};
inline constexpr Text kAnalyzerPort{"AnalizerPort", "USB", kAnalyzerPorts};
inline constexpr Number kAnalyzerSpeed{"AnalizerSpeed", 9600, {}};
inline constexpr Text kMonitorType{"MonitorType", kPlainLink, kMonitorTypes};
inline constexpr Text kMonitorPort{"MonitorPort", "COM1", kMonitorPorts};
inline constexpr Number kMonitorSpeed{"MonitorSpeed", 9600, kMonitorSpeeds};
inline constexpr Number kMonitorId{"MonitorId", 1, {}};
inline constexpr Number kLutFile{"LUTFile", 0, {}};  // not 0: LUT files are direct tables
inline constexpr Text kLutFileType{"LutFileType", kBaselight, kLutFileTypes};
inline constexpr Text kLookUpTableSendTo{"LookUpTableSendTo", kMemories[0], kMemories};
inline constexpr Text kFilmGammaSendTo{"FilmGammaSendTo", kMemories[0], kMemories};
// The memory the window's Correct last worked on. Not among the values the store fills in at
// start-up: a missing one leaves USER1 chosen.
inline constexpr Text kCorrectMemory{"CorrectMemory", kMemories[0], kMemories};

// All of them, in the order the store's start-up fills in the missing ones.
inline constexpr Any kAll[] = {kAnalyzerModel, kAnalyzerPort,      kAnalyzerSpeed,  kMonitorType,
                               kMonitorPort,   kMonitorSpeed,      kMonitorId,      kLutFile,
                               kLutFileType,   kLookUpTableSendTo, kFilmGammaSendTo};

// The verification's target and verdict thresholds, as texts: a white point ("D65" or "x,y"),
// a tone curve, a gamut, the number of grey steps (2..256) and the thresholds of the ΔE2000
// averages and maxima. They are not among the values the store fills in at start-up: a
// verification reads a missing one as its fallback.
inline constexpr Text kVerifyWhitePoint{"VerifyWhitePoint", "D65", colour::kWhitePointNames};
inline constexpr Text kVerifyToneCurve{"VerifyToneCurve", "2.2", colour::kToneCurveNames};
inline constexpr Text kVerifyGamut{"VerifyGamut", "Rec.709", colour::kGamutNames};
inline constexpr Text kVerifyGreySteps{"VerifyGreySteps", "21", {}};
inline constexpr Text kVerifyGreyAverage{"VerifyGreyAverage", "1.0", {}};
inline constexpr Text kVerifyGreyMaximum{"VerifyGreyMaximum", "2.0", {}};
inline constexpr Text kVerifyColourAverage{"VerifyColourAverage", "3.0", {}};
inline constexpr Text kVerifyColourMaximum{"VerifyColourMaximum", "5.0", {}};

}  // namespace velluma::setting
