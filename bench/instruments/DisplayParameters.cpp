#include "bench/instruments/DisplayParameters.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace velluma::bench {
namespace {

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

}  // namespace

void DisplayParameters::Set(std::string_view key, std::string_view value) {
  value = Trimmed(value);
  if (key == "primaries") {
    std::vector<double> v = Numbers(key, value);
    if (v.size() != 6) throw std::invalid_argument("primaries takes six numbers");
    red = {v[0], v[1]};
    green = {v[2], v[3]};
    blue = {v[4], v[5]};
  } else if (key == "white") {
    white = Number(key, value);
  } else if (key == "gamma") {
    gamma = Number(key, value);
  } else if (key == "toe") {
    toe = Number(key, value);
  } else if (key == "shoulder") {
    shoulder = Number(key, value);
  } else if (key == "black") {
    black = Number(key, value);
  } else if (key == "tint-x") {
    tintX = Number(key, value);
  } else if (key == "tint-y") {
    tintY = Number(key, value);
  } else if (key == "tint-dark-x") {
    tintDarkX = Number(key, value);
  } else if (key == "tint-dark-y") {
    tintDarkY = Number(key, value);
  } else if (key == "noise") {
    noise = Number(key, value);
  } else if (key == "seed") {
    seed = Seed(value);
  } else {
    throw std::invalid_argument("unknown display parameter \"" + std::string(key) + "\"");
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
    if (!(primary.y > 0 && primary.x >= 0 && primary.x + primary.y <= 1)) {
      throw std::invalid_argument("a primary's chromaticity must lie in the diagram with y > 0");
    }
  }
  if (!(black >= 0)) throw std::invalid_argument("black must be 0 or more");
  if (!(white > black)) throw std::invalid_argument("white must be brighter than black");
  if (!(gamma > 0)) throw std::invalid_argument("gamma must be above 0");
  if (!(toe >= 0)) throw std::invalid_argument("toe must be 0 or more");
  if (!(shoulder >= 0)) throw std::invalid_argument("shoulder must be 0 or more");
  if (!(noise >= 0)) throw std::invalid_argument("noise must be 0 or more");
}

Chromaticity DisplayParameters::TintAt(int level) const {
  const double share = std::clamp(level, 0, 255) / 255.0;
  const double darkX = tintDarkX.value_or(tintX);
  const double darkY = tintDarkY.value_or(tintY);
  return {darkX + (tintX - darkX) * share, darkY + (tintY - darkY) * share};
}

}  // namespace velluma::bench
