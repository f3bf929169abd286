#pragma once

#include <chrono>
#include <optional>
#include <string>

// How a request reaches the bench: the Unix control socket on Linux (BenchClientPosix.cpp),
// loopback TCP in the Windows stand-ins (winstandins/BenchClientWin32.cpp). BenchClient.cpp
// builds the requests and reads the answers on top of either.
namespace velluma::bench::client {

// How long a request may take from connecting to the answer's closing line.
constexpr auto kPatience = std::chrono::seconds(5);

// Whether `text` holds a whole answer: its lines, then a line ".".
bool EndsAnswer(const std::string& text);

// Sends one request line (its line end included) and returns the whole answer, closing "."
// included; nothing when the bench cannot be reached or does not answer within kPatience.
std::optional<std::string> Exchange(const std::string& request);

}  // namespace velluma::bench::client
