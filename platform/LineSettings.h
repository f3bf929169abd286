#pragma once

namespace velluma {

enum class Parity { None, Even };

// The line set-up a caller asks of a serial port. Flow control is always off and DTR and RTS are
// always dropped: neither the monitor nor the instruments use them.
struct LineSettings {
  int speed = 9600;  // bit/s
  int dataBits = 8;
  Parity parity = Parity::None;
  int stopBits = 1;

  bool operator==(const LineSettings&) const = default;
};

}  // namespace velluma
