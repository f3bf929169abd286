#include "bench/instruments/DisplayParameters.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace velluma::bench {
namespace {

// Beyond this the channels would dim each other more than any panel does.
constexpr double kLargestInteraction = 0.5;

std::string_view Trimmed(std::string_view text) {
  size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last + 1 - first);
}

std::vector<double> Numbers(std::string_view key, std::string_view text) {
  std::vector<double> numbers;
  const char* at = text.data();
  const char* end = text.data() + text.size();
  while (true) {
    while (at < end && (*at == ' ' || *at == '\t' || *at == ',')) ++at;
    if (at == end) break;
    double value = 0;
    auto [next, error] = std::from_chars(at, end, value);
    if (error != std::errc() || (next < end && *next != ' ' && *next != '\t' && *next != ',')) {
      throw std::invalid_argument(std::string(key) + " takes numbers, not \"" + std::string(text) +
                                  "\"");
    }
    numbers.push_back(value);
    at = next;
  }
  return numbers;
}

double Number(std::string_view key, std::string_view text) {
  std::vector<double> numbers = Numbers(key, text);
  if (numbers.size() != 1) {
    throw std::invalid_argument(std::string(key) + " takes one number, not \"" + std::string(text) +
                                "\"");
  }
  return numbers.front();
}

uint32_t Seed(std::string_view text) {
  uint32_t seed = 0;
  auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (text.empty() || error != std::errc() || next != text.data() + text.size()) {
    throw std::invalid_argument("seed takes a whole number, not \"" + std::string(text) + "\"");
  }
  return seed;
}

constexpr std::string_view kChannelNames[] = {"red", "green", "blue"};

using CurveParameter = double ChannelCurve::*;
struct CurveKey {
  CurveParameter parameter;
  std::optional<int> channel;  // all three when absent
};

// A chromaticity that light can have: inside the diagram, with y above 0.
bool InDiagram(Chromaticity c) {
  return c.y > 0 && c.x >= 0 && c.x + c.y <= 1;
}

// "gamma", "toe" or "shoulder" sets all three channels; with "-red", "-green" or "-blue" one.
std::optional<CurveKey> CurveKeyOf(std::string_view key) {
  const size_t dash = key.find('-');
  const std::string_view name = key.substr(0, dash);
  std::optional<CurveParameter> parameter;
  if (name == "gamma") parameter = &ChannelCurve::gamma;
  if (name == "toe") parameter = &ChannelCurve::toe;
  if (name == "shoulder") parameter = &ChannelCurve::shoulder;
  if (!parameter) return std::nullopt;
  if (dash == std::string_view::npos) return CurveKey{*parameter, std::nullopt};
  const std::string_view channel = key.substr(dash + 1);
  for (int c = 0; c < DisplayParameters::kChannels; ++c) {
    if (channel == kChannelNames[c]) return CurveKey{*parameter, c};
  }
  return std::nullopt;
}

}  // namespace

double ChannelCurve::Light(double drive) const {
  double light = std::pow(drive, gamma);
  if (toe > 0) light *= drive / (drive + toe) * (1.0 + toe);
  if (shoulder > 0) light = (1.0 + shoulder) * light / (1.0 + shoulder * light);
  return light;
}

double* DisplayParameters::Field(std::string_view key) {
  const std::pair<std::string_view, double*> fields[] = {{"white", &white},
                                                         {"white-x", &whitePoint.x},
                                                         {"white-y", &whitePoint.y},
                                                         {"black", &black},
                                                         {"black-x", &blackPoint.x},
                                                         {"black-y", &blackPoint.y},
                                                         {"interaction", &interaction},
                                                         {"tint-x", &tintX},
                                                         {"tint-y", &tintY},
                                                         {"noise", &noise}};
  for (const auto& [name, field] : fields) {
    if (name == key) return field;
  }
  return nullptr;
}

std::optional<double>* DisplayParameters::OptionalField(std::string_view key) {
  const std::pair<std::string_view, std::optional<double>*> fields[] = {
      {"tint-dark-x", &tintDarkX},
      {"tint-dark-y", &tintDarkY},
      {"noise-luminance", &luminanceNoise},
      {"noise-chromaticity", &chromaticityNoise}};
  for (const auto& [name, field] : fields) {
    if (name == key) return field;
  }
  return nullptr;
}

bool DisplayParameters::SetCurve(std::string_view key, double value) {
  const std::optional<CurveKey> curveKey = CurveKeyOf(key);
  if (!curveKey) return false;
  for (int c = 0; c < kChannels; ++c) {
    if (!curveKey->channel || *curveKey->channel == c) curves[c].*(curveKey->parameter) = value;
  }
  return true;
}

bool DisplayParameters::Knows(std::string_view key) {
  DisplayParameters scratch;
  return key == "primaries" || key == "seed" || CurveKeyOf(key) || scratch.Field(key) ||
         scratch.OptionalField(key);
}

void DisplayParameters::Set(std::string_view key, std::string_view value) {
  value = Trimmed(value);
  if (!Knows(key)) {
    throw std::invalid_argument("unknown display parameter \"" + std::string(key) + "\"");
  }
  if (key == "primaries") {
    std::vector<double> v = Numbers(key, value);
    if (v.size() != 6) throw std::invalid_argument("primaries takes six numbers");
    red = {v[0], v[1]};
    green = {v[2], v[3]};
    blue = {v[4], v[5]};
  } else if (key == "seed") {
    seed = Seed(value);
  } else if (double* field = Field(key)) {
    *field = Number(key, value);
  } else if (std::optional<double>* optional = OptionalField(key)) {
    *optional = Number(key, value);
  } else {
    SetCurve(key, Number(key, value));
  }
}

void DisplayParameters::LoadFile(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw std::invalid_argument("cannot read display file " + path);
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    std::string_view text = Trimmed(line);
    if (text.empty() || text[0] == '#') continue;
    size_t equals = text.find('=');
    try {
      if (equals == std::string_view::npos) throw std::invalid_argument("expected key = value");
      Set(Trimmed(text.substr(0, equals)), text.substr(equals + 1));
    } catch (const std::invalid_argument& error) {
      throw std::invalid_argument(path + ":" + std::to_string(number) + ": " + error.what());
    }
  }
}

void DisplayParameters::Check() const {
  for (const Chromaticity& primary : {red, green, blue}) {
    if (!InDiagram(primary)) {
      throw std::invalid_argument("a primary's chromaticity must lie in the diagram with y > 0");
    }
  }
  if (!InDiagram(whitePoint)) throw std::invalid_argument("white-x, white-y lie off the diagram");
  if (!InDiagram(blackPoint)) throw std::invalid_argument("black-x, black-y lie off the diagram");
  if (!(black >= 0)) throw std::invalid_argument("black must be 0 or more");
  if (!(white > black)) throw std::invalid_argument("white must be brighter than black");
  for (const ChannelCurve& curve : curves) {
    if (!(curve.gamma > 0)) throw std::invalid_argument("gamma must be above 0");
    if (!(curve.toe >= 0)) throw std::invalid_argument("toe must be 0 or more");
    if (!(curve.shoulder >= 0)) throw std::invalid_argument("shoulder must be 0 or more");
  }
  if (!(interaction >= 0 && interaction <= kLargestInteraction)) {
    throw std::invalid_argument("interaction must be from 0 to 0.5");
  }
  if (!(LuminanceNoise() >= 0 && ChromaticityNoise() >= 0)) {
    throw std::invalid_argument("noise must be 0 or more");
  }
}

Chromaticity DisplayParameters::TintAt(double drive) const {
  const double share = std::clamp(drive, 0.0, 1.0);
  const double darkX = tintDarkX.value_or(tintX);
  const double darkY = tintDarkY.value_or(tintY);
  return {darkX + (tintX - darkX) * share, darkY + (tintY - darkY) * share};
}

bool DisplayParameters::Tinted() const {
  const Chromaticity dark = TintAt(0);
  return tintX != 0 || tintY != 0 || dark.x != 0 || dark.y != 0;
}

}  // namespace velluma::bench
