#include "instruments/InstrumentModel.h"

namespace velluma {

namespace {
using enum InstrumentFamily;

// The models, their drivers and their quirks, in one place.
constexpr InstrumentModel kModels[] = {
    {kCa210Model, Ca, 1, false, true},
    {kCa310Model, Ca, 2, false, true},
    {kI1ProModel, I1, 3, true, true},
    {kPr655Model, Pr, 0, false, false},
    {kNoInstrumentModel, None, 0, false, false},
};
}  // namespace

const InstrumentModel& InstrumentModelNamed(std::string_view name) {
  for (const InstrumentModel& model : kModels)
    if (model.name == name) return model;
  return kModels[std::size(kModels) - 1];
}

}  // namespace velluma
