#pragma once

#include <string>

namespace velluma {

// The CA-210 / CA-310 driver (kind 1 and 2), through the vendor's CA-SDK server.
class Analyzer {
 public:
  Analyzer(int kind, const std::string& port, int speed);
  ~Analyzer();
  Analyzer(const Analyzer&) = delete;
  Analyzer& operator=(const Analyzer&) = delete;

  int Kind() const { return kind_; }

 private:
  int kind_;
  std::string port_;
  int speed_;
};

}  // namespace velluma
