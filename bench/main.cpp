// velluma-bench: the virtual bench. Puts a virtual QX-7MR520 on a pty linked as COM1 and a
// PR-655 on one linked as COM2 in the ports directory, and serves a control socket beside them
// (see control/ControlRequests.h), through which the CA server module and the EyeOne library
// measure.
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/Bench.h"

int main(int argc, char** argv) {
  using velluma::bench::Bench;
  using velluma::bench::BenchOptions;
  BenchOptions options;
  try {
    options = BenchOptions::Parse(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& error) {
    std::cerr << "velluma-bench: " << error.what() << "\n" << BenchOptions::Usage();
    return 2;
  }
  try {
    Bench bench(options);
    bench.Run(std::cout);
  } catch (const std::exception& error) {
    std::cerr << "velluma-bench: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
