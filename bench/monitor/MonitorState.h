#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velluma::bench {

// The drive values of the patch the monitor shows (the last good "OUT").
struct Patch {
  int r = 0;
  int g = 0;
  int b = 0;
};

// What the virtual monitor has received and shows: the current patch, the ZBL value, the
// stored primaries, grey ramp, film gamma and LUTs per user memory, the memory selected on its
// front panel, the line speed it expects, and a record of the link (commands received, frame
// counters). Other parts of the bench (a display model, an instrument measuring the patch) read
// it.
class MonitorState {
 public:
  static constexpr int kMemories = 3;
  static constexpr int kPrimaryValues = 9;
  static constexpr int kGreyChannels = 3;
  static constexpr int kGreyLevels = 256;
  static constexpr int kFilmGammaEntries = 1024;
  static constexpr int kLutChannels = 3;
  static constexpr int kLutEntries = 4096;
  static constexpr int kInitialSpeed = 9600;

  explicit MonitorState(std::string model);

  const std::string& Model() const { return model_; }
  int ExpectedSpeed() const { return expectedSpeed_; }
  void SetExpectedSpeed(int bitsPerSecond) { expectedSpeed_ = bitsPerSecond; }

  const std::optional<Patch>& CurrentPatch() const { return patch_; }
  void SetPatch(Patch patch) { patch_ = patch; }
  const std::optional<int>& Zbl() const { return zbl_; }
  void SetZbl(int value) { zbl_ = value; }
  // Remote mode, entered with "MCO:1" and left with "MCO:0".
  bool Remote() const { return remote_; }
  void SetRemote(bool remote) { remote_ = remote; }
  // The user memory (0..kMemories - 1) whose LUT and film gamma the picture passes through, as
  // the operator selects it on the monitor's front panel; none (the default): straight to the
  // panel. Throws std::out_of_range for a memory the monitor does not have.
  const std::optional<int>& SelectedMemory() const { return selectedMemory_; }
  void SelectMemory(std::optional<int> memory);

  // Empty until received.
  const std::vector<double>& Primaries() const { return primaries_; }
  void SetPrimaries(std::vector<double> values);
  const std::vector<double>& GreyRamp(int channel) const;
  void SetGreyRamp(int channel, std::vector<double> values);

  // Empty until a first block arrives; then every entry, those never written being 0.
  const std::vector<int>& FilmGamma(int memory) const;
  void WriteFilmGamma(int memory, int firstEntry, const std::vector<int>& values);
  const std::vector<int>& Lut(int memory, int channel) const;
  void WriteLut(int memory, int channel, int firstEntry, const std::vector<int>& values);

  // Every command the monitor handled, escaped for printing, in order.
  const std::vector<std::string>& Log() const { return log_; }
  void AppendLog(std::string_view command);
  void ClearLog() { log_.clear(); }

  struct Counters {
    long frames = 0;    // frames handled as commands
    long refused = 0;   // frames that came at a line speed the monitor did not expect
    long foreign = 0;   // frames addressed to another monitor id
    long overlong = 0;  // frames dropped for running past the receive bound
  };
  const Counters& Counts() const { return counters_; }
  Counters& Counts() { return counters_; }

 private:
  std::string model_;
  int expectedSpeed_ = kInitialSpeed;
  std::optional<Patch> patch_;
  std::optional<int> zbl_;
  bool remote_ = false;
  std::optional<int> selectedMemory_;
  std::vector<double> primaries_;
  std::array<std::vector<double>, kGreyChannels> grey_;
  std::array<std::vector<int>, kMemories> filmGamma_;
  std::array<std::array<std::vector<int>, kLutChannels>, kMemories> luts_;
  std::vector<std::string> log_;
  Counters counters_;
};

}  // namespace velluma::bench
