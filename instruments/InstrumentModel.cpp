#include "instruments/InstrumentModel.h"

#include "platform/Settings.h"

namespace velluma {

namespace {
using enum InstrumentFamily;

// The models, their drivers and their quirks, in one place.
constexpr InstrumentModel kModels[] = {
    {setting::kCa210, Ca, 1, false, true},
    {setting::kCa310, Ca, 2, false, true},
    {setting::kI1Pro, I1, 3, true, true},
    {setting::kPr655, Pr, 0, false, false},
    {setting::kNoInstrument, None, 0, false, false},
};
}  // namespace

const InstrumentModel& InstrumentModelNamed(std::string_view name) {
  for (const InstrumentModel& model : kModels)
    if (model.name == name) return model;
  return kModels[std::size(kModels) - 1];
}

}  // namespace velluma
