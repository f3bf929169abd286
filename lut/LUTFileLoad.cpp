#include "lut/LUTFileLoad.h"

#include <optional>

#include "lut/BaselightLUTReader.h"
#include "lut/DaVinciLUTReader.h"
#include "lut/DirectTableMode.h"
#include "lut/LUTConversion.h"
#include "lut/LUTFileError.h"

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

// The 1D table read, resampled at the grid inputs into `curve`, which stays the identity without
// one; the diagnosis line when its range check or its conversion fails.
std::optional<std::string_view> EvaluateCurve(const LUTReadData& data, bool checkRanges,
                                              InputCurve& curve) {
  curve = IdentityInputCurve();
  if (!data.lut1D) return std::nullopt;
  if (checkRanges && !RangeWithinUnit(*data.lut1D)) return kRange1DInvalidLine;
  if (!Convert1D(*data.lut1D, curve)) return kConvert1DErrorLine;
  return std::nullopt;
}

// The transform of the tables read, at the monitor's grid points; none, with the diagnosis
// line, when a check or a conversion fails.
std::optional<std::string_view> EvaluateTables(const LUTReadData& data, bool checkRanges,
                                               GridSamples& samples) {
  InputCurve curve;
  if (const auto failure = EvaluateCurve(data, checkRanges, curve)) return failure;
  if (data.lut3D) {
    if (checkRanges && !RangeWithinUnit(*data.lut3D)) return kRange3DInvalidLine;
    if (!Convert3D(curve, *data.lut3D, samples)) return kConvert3DErrorLine;
  } else {
    CurveGridSamples(curve, samples);
  }
  return std::nullopt;
}

// The points of a cube that EvaluateTables reads, given the 1D table before it: none when that
// table already fails the load.
GridSelection PointsEvaluated(const LUTReadData& tablesBefore, bool checkRanges,
                              std::size_t width) {
  InputCurve curve;
  if (EvaluateCurve(tablesBefore, checkRanges, curve)) return GridSelection::None(width);
  return PointsConvert3DReads(curve, width);
}

LUTLoadResult LoadDirectTable(const LUTFileInput& file, MonitorLutTable& table,
                              std::ostream& diagnosis) {
  if (!file.bytes) throw LUTFileError::CannotOpen(file.name, file.openFailure);
  std::string rejection;
  if (!DirectTableMode(*file.bytes, file.name, table, &rejection))
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

LUTLoadResult LoadLUTFile(const LUTFileInput& file, std::string_view lutFileType,
                          bool directTableMode, MonitorLutTable& table, std::ostream& diagnosis) {
  if (directTableMode) return LoadDirectTable(file, table, diagnosis);
  // A file without a name has always been refused with no cause to add.
  if (file.name.empty()) return Rejected(kOperationErrorLine, diagnosis);
  if (!file.bytes) return Rejected(kOperationErrorLine, diagnosis, file.openFailure);

  std::unique_ptr<LUTReadData> data;
  const auto reader = MakeLUTReader(lutFileType);
  const bool checkRanges = !IsBaselight(lutFileType);
  reader->ChooseCubePoints([checkRanges](const LUTReadData& tablesBefore, std::size_t width) {
    return PointsEvaluated(tablesBefore, checkRanges, width);
  });
  const ReadStatus status = reader->Read(*file.bytes, &data);
  if (status == ReadStatus::ParseError)
    return Rejected(kParseErrorLine, diagnosis, reader->FailureCause());
  if (status != ReadStatus::Success)
    return Rejected(kOperationErrorLine, diagnosis, reader->FailureCause());

  const auto samples = std::make_unique<GridSamples>();
  const auto failure = EvaluateTables(*data, checkRanges, *samples);
  data.reset();
  if (failure) return Rejected(*failure, diagnosis);
  StoreMonitorCodes(*samples, table);
  return {};
}

}  // namespace velluma
