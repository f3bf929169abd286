#include "bench/instruments/DisplayModel.h"

namespace velluma::bench {
namespace {

uint32_t SeedOf(const DisplayParameters& parameters) {
  return parameters.seed ? *parameters.seed : std::random_device{}();
}

}  // namespace

DisplayModel::DisplayModel(const DisplayParameters& parameters)
    : parameters_(parameters), panel_(parameters), random_(SeedOf(parameters)) {}

Measurement DisplayModel::Emission(const MonitorState& monitor) const {
  const PanelDrive drive = PanelDriveFor(monitor, monitor.CurrentPatch().value_or(Patch{}));
  return PanelEmission(drive, monitor.Zbl());
}

Measurement DisplayModel::Measure(const MonitorState& monitor) {
  return WithNoise(Emission(monitor));
}

Measurement DisplayModel::PanelEmission(const PanelDrive& drive, std::optional<int> zbl) const {
  const double backlight = static_cast<double>(zbl.value_or(kReferenceZbl)) / kReferenceZbl;
  const Tristimulus light = panel_.Light(drive);
  const Chromaticity xy = light.Xy();
  return {xy.x, xy.y, light.Y * backlight};
}

// One standard normal deviate each for x, y and Y, in that order, whichever noise is zero, so
// that a seed gives the same sequence as it always has.
Measurement DisplayModel::WithNoise(Measurement light) {
  const double chromaticity = parameters_.ChromaticityNoise();
  const double luminance = parameters_.LuminanceNoise();
  if (chromaticity <= 0 && luminance <= 0) return light;
  std::normal_distribution<double> deviate(0.0, 1.0);
  light.x += chromaticity * deviate(random_);
  light.y += chromaticity * deviate(random_);
  light.Y *= 1.0 + luminance * deviate(random_);
  return light;
}

}  // namespace velluma::bench
