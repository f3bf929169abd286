#pragma once

#include <string>

namespace velluma {

// The PR-655 driver (kind 0), over its serial protocol.
class Analyzer3 {
 public:
  Analyzer3(int kind, const std::string& port, int speed);
  ~Analyzer3();
  Analyzer3(const Analyzer3&) = delete;
  Analyzer3& operator=(const Analyzer3&) = delete;

  int Kind() const { return kind_; }

 private:
  int kind_;
  std::string port_;
  int speed_;
};

}  // namespace velluma
