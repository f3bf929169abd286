#pragma once

namespace velluma {

// How an exchange with the monitor ended. The numbers are the link's own: the operations that
// read a reply give its length (0 or more) where they succeed and these negative numbers where
// they fail, and the procedures tell a silent monitor (-1) from one that refused.
enum class LinkResult {
  Ok = 0,
  CommunicationError = -1,  // no reply within the time-out, a reply too long, or a failed port
  ChecksumError = -2,       // a reply whose checksum does not match
  Nack = -3,                // the monitor refused, or a value the command cannot carry
  Stopped = -4,             // a transfer asked to stop between two frames
};

// What a read's result (a reply's length, or a negative result) says of the exchange.
constexpr LinkResult ResultOfRead(int lengthOrResult) {
  return lengthOrResult < 0 ? static_cast<LinkResult>(lengthOrResult) : LinkResult::Ok;
}

}  // namespace velluma
