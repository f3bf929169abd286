#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// The bench's command line:
//   velluma-bench --ports DIR [--fault RULE]... [--faults FILE] [--reply-delay MS]
//                 [--line-rate] [--model TEXT] [--addressed ID]
struct BenchOptions {
  std::string ports_dir;
  std::vector<std::string> fault_rules;
  std::vector<std::string> fault_files;
  std::chrono::milliseconds reply_delay{20};
  bool line_rate = false;
  std::string model = "QX-7MR520";
  std::optional<uint8_t> address;

  // Throws std::invalid_argument with the reason for a bad command line.
  static BenchOptions Parse(const std::vector<std::string>& arguments);
  static const char* Usage();
};

}  // namespace bench
