#include "monitor/CommandText.h"


#include "monitor/Framing.h"
#include "platform/CLocale.h"

namespace velluma::command_text {

namespace {

template <typename Value, typename Format>
std::string FixedStride(std::span<const Value> values, std::size_t stride, Format format) {
  std::string text;
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::string field = format(values[i]);
    if (i + 1 < values.size() && field.size() > stride) field.resize(stride);
    text += field;
  }
  return text;
}

}  // namespace

std::string DecimalFields(std::span<const float> values) {
  return FixedStride(values, 7, [](float v) { return FormatC("%07.4f", static_cast<double>(v)); });
}

std::string HexFields(std::span<const std::int32_t> values) {
  return FixedStride(values, 3,
                     [](std::int32_t v) { return FormatC("%03X", static_cast<unsigned>(v)); });
}

std::string ShowPatternText(int r, int g, int b) {
  const std::string text = FormatC("OUT%02X%02X%02X", r, g, b);
  return text + framing::Hex2(framing::SumFrom(text, 3));
}

}  // namespace velluma::command_text
