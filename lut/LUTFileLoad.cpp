#include "lut/LUTFileLoad.h"

#include <optional>

#include "lut/BaselightLUTReader.h"
#include "lut/DaVinciLUTReader.h"
#include "lut/DirectTableMode.h"
#include "lut/LUTConversion.h"

namespace velluma {
namespace {

// The diagnosis lines: one is written to the standard output for each kind of failure.
constexpr std::string_view kParseErrorLine = "LUT file parse error.";
constexpr std::string_view kOperationErrorLine = "LUT file operation error.";
constexpr std::string_view kRange1DInvalidLine = "DaVinci 1D LUT Input Range is invalid .";
constexpr std::string_view kConvert1DErrorLine = "1D LUT convert error.";
constexpr std::string_view kRange3DInvalidLine = "DaVinci 3D LUT Input Range is invalid .";
constexpr std::string_view kConvert3DErrorLine = "3D LUT convert error.";
constexpr std::string_view kDirectValueInvalidLine = "LUT table value out of range.";

// A DaVinci Resolve table's range must lie within 0..1; Baselight ranges are 0..W-1 by
// construction and are not checked.
bool RangeWithinUnit(const LUTData& lut) {
  return !(lut.RangeMin() < 0.0 || lut.RangeMax() > 1.0);
}

LUTLoadResult Rejected(std::string_view line, std::ostream& diagnosis, std::string cause = {}) {
  diagnosis << line << std::endl;
  return {1, std::string(line), std::move(cause)};
}

// The transform of the tables read, at the monitor's grid points; none, with the diagnosis
// line, when a check or a conversion fails.
std::optional<std::string_view> EvaluateTables(const LUTReadData& data, bool checkRanges,
                                               GridSamples& samples) {
  InputCurve curve = IdentityInputCurve();
  if (data.lut1D) {
    if (checkRanges && !RangeWithinUnit(*data.lut1D)) return kRange1DInvalidLine;
    if (!Convert1D(*data.lut1D, curve)) return kConvert1DErrorLine;
  }
  if (data.lut3D) {
    if (checkRanges && !RangeWithinUnit(*data.lut3D)) return kRange3DInvalidLine;
    if (!Convert3D(curve, *data.lut3D, samples)) return kConvert3DErrorLine;
  } else {
    CurveGridSamples(curve, samples);
  }
  return std::nullopt;
}

LUTLoadResult LoadDirectTable(const std::string& path, MonitorLutTable& table,
                              std::ostream& diagnosis) {
  std::string rejection;
  if (!DirectTableMode(path, table, &rejection))
    return Rejected(kDirectValueInvalidLine, diagnosis, rejection);
  return {};
}

bool IsBaselight(std::string_view lutFileType) {
  return lutFileType == kBaselightFileType;
}

}  // namespace

std::unique_ptr<LUTReader> MakeLUTReader(std::string_view lutFileType) {
  if (IsBaselight(lutFileType)) return std::make_unique<BaselightLUTReader>();
  return std::make_unique<DaVinciLUTReader>();
}

LUTLoadResult LoadLUTFile(const std::string& path, std::string_view lutFileType,
                          bool directTableMode, MonitorLutTable& table, std::ostream& diagnosis) {
  if (directTableMode) return LoadDirectTable(path, table, diagnosis);

  std::unique_ptr<LUTReadData> data;
  const auto reader = MakeLUTReader(lutFileType);
  const ReadStatus status = reader->Read(path, &data);
  if (status == ReadStatus::ParseError)
    return Rejected(kParseErrorLine, diagnosis, reader->FailureCause());
  if (status != ReadStatus::Success)
    return Rejected(kOperationErrorLine, diagnosis, reader->FailureCause());

  const auto samples = std::make_unique<GridSamples>();
  const auto failure = EvaluateTables(*data, !IsBaselight(lutFileType), *samples);
  data.reset();
  if (failure) return Rejected(*failure, diagnosis);
  StoreMonitorCodes(*samples, table);
  return {};
}

}  // namespace velluma
