#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the bench's libraries (the CA server module, the EyeOne library, and their Windows
// stand-ins) need of the bench: its control socket, found afresh for every request, and the two
// requests they make. They run inside the program, whose C library may be set to a
// decimal-comma locale, so numbers are read without the locale.
namespace velluma::bench::client {

// On Linux, the Unix control socket: $VELLUMA_BENCH_SOCKET; else $VELLUMA_PORTS/bench.sock;
// else $HOME/.config/Quillem/Velluma/ports/bench.sock. Empty when none of them can be formed.
std::string SocketPath();

// On Windows, the bench's TCP control, given as "HOST:PORT" in $VELLUMA_BENCH_TCP (the bench
// writes it into its bench.tcp); HOST a numeric IPv4 address, in practice 127.0.0.1.
struct TcpAddress {
  std::string host;
  uint16_t port = 0;
};
// Nothing unless `text` is HOST:PORT with a host and a port from 1 to 65535.
std::optional<TcpAddress> ParseTcpAddress(std::string_view text);

// Sends one request; the answer's lines before the closing ".", or nothing when the bench
// cannot be reached or does not answer within a few seconds.
std::optional<std::vector<std::string>> Ask(const std::string& request);

// The bench's verdict on a reported call: kOk, the failure `failure`, or the code the bench
// names. Nothing when the bench cannot be reached or answers something else.
std::optional<int32_t> ReportCall(const std::string& device, const std::string& call,
                                  int32_t failure);

// Chromaticity and luminance of the patch the bench's monitor shows, as an instrument reads it.
struct Light {
  double x = 0;
  double y = 0;
  double Y = 0;
};
std::optional<Light> Measure();

}  // namespace velluma::bench::client
