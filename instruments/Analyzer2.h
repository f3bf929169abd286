#pragma once

#include <string>

namespace velluma {

// The i1-Pro driver (kind 3), through the vendor's EyeOne library.
class Analyzer2 {
 public:
  Analyzer2(int kind, const std::string& port, int speed);
  ~Analyzer2();
  Analyzer2(const Analyzer2&) = delete;
  Analyzer2& operator=(const Analyzer2&) = delete;

  int Kind() const { return kind_; }

 private:
  int kind_;
  std::string port_;
  int speed_;
};

}  // namespace velluma
