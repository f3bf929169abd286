#include "bench/instruments/BenchClient.h"

#include <charconv>

#include "bench/instruments/BenchTransport.h"

namespace velluma::bench::client {
namespace {

std::vector<std::string> Lines(const std::string& answer) {
  std::vector<std::string> lines;
  size_t begin = 0;
  for (size_t end; (end = answer.find('\n', begin)) != std::string::npos; begin = end + 1) {
    std::string line = answer.substr(begin, end - begin);
    if (line == ".") break;
    lines.push_back(line);
  }
  return lines;
}

template <typename Number>
bool Parse(std::string_view text, Number& value) {
  const char* end = text.data() + text.size();
  auto [next, error] = std::from_chars(text.data(), end, value);
  return !text.empty() && error == std::errc() && next == end;
}

std::optional<double> DecimalAt(const std::string& line, size_t& at) {
  size_t end = line.find(' ', at);
  std::string field = line.substr(at, end == std::string::npos ? end : end - at);
  at = end == std::string::npos ? line.size() : end + 1;
  double value = 0;
  if (!Parse(field, value)) return std::nullopt;
  return value;
}

}  // namespace

bool EndsAnswer(const std::string& text) {
  return text == ".\n" || (text.size() >= 3 && text.compare(text.size() - 3, 3, "\n.\n") == 0);
}

std::optional<TcpAddress> ParseTcpAddress(std::string_view text) {
  size_t colon = text.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  TcpAddress address{std::string(text.substr(0, colon)), 0};
  if (!Parse(text.substr(colon + 1), address.port) || address.port == 0) return std::nullopt;
  return address;
}

std::optional<std::vector<std::string>> Ask(const std::string& request) {
  std::optional<std::string> answer = Exchange(request + "\n");
  if (!answer) return std::nullopt;
  return Lines(*answer);
}

std::optional<int32_t> ReportCall(const std::string& device, const std::string& call,
                                  int32_t failure) {
  std::optional<std::vector<std::string>> answer = Ask(device + " " + call);
  if (!answer || answer->size() != 1) return std::nullopt;
  const std::string& verdict = answer->front();
  if (verdict == "ok") return 0;
  if (verdict == "fail") return failure;
  int32_t code = 0;
  if (verdict.rfind("code ", 0) == 0 && Parse(std::string_view(verdict).substr(5), code)) {
    return code;
  }
  return std::nullopt;
}

std::optional<Light> Measure() {
  std::optional<std::vector<std::string>> answer = Ask("measure");
  if (!answer || answer->size() != 1) return std::nullopt;
  size_t at = 0;
  std::optional<double> x = DecimalAt(answer->front(), at);
  std::optional<double> y = DecimalAt(answer->front(), at);
  std::optional<double> luminance = DecimalAt(answer->front(), at);
  if (!x || !y || !luminance || at != answer->front().size()) return std::nullopt;
  return Light{*x, *y, *luminance};
}

}  // namespace velluma::bench::client
