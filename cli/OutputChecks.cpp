#include "cli/OutputChecks.h"

#include <utility>
#include <vector>

#include "cli/UsageError.h"
#include "platform/AtomicFile.h"

namespace velluma::cli {

namespace {

[[noreturn]] void RefuseOutput(const char* option, const std::string& path, const std::string& why,
                               Command command) {
  throw UsageError(std::string(option) + " '" + path + "': " + why, command);
}

}  // namespace

void CheckOutputs(const OutputFiles& files, Command command) {
  std::vector<std::pair<const char*, const std::string*>> outputs;
  for (const auto& [option, path] : {std::pair{"--report", &files.report},
                                     std::pair{"--csv", &files.csv},
                                     std::pair{"--cube", &files.cube}})
    if (!path->empty()) outputs.emplace_back(option, path);
  for (const auto& [option, path] : outputs) {
    const std::string_view stream = ConsoleStreamAt(*path);
    if (stream == "standard output")
      RefuseOutput(option, *path, "standard output carries the table; name a file instead",
                   command);
    if (!stream.empty())
      RefuseOutput(option, *path, "standard error carries the messages; name a file instead",
                   command);
    if (const auto problem = SaveProblem(*path)) RefuseOutput(option, *path, *problem, command);
  }
  for (std::size_t a = 0; a < outputs.size(); ++a) {
    for (std::size_t b = a + 1; b < outputs.size(); ++b) {
      const auto& [firstOption, first] = outputs[a];
      const auto& [secondOption, second] = outputs[b];
      if (SameSaveTarget(*first, *second))
        throw UsageError(std::string(firstOption) + " '" + *first + "' and " + secondOption +
                             " '" + *second + "' name the same file",
                         command);
    }
  }
}

}  // namespace velluma::cli
