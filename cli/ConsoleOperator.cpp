#include "cli/ConsoleOperator.h"

#include <algorithm>
#include <utility>

#include "calibration/StationSettings.h"
#include "platform/CLocale.h"

namespace velluma::cli {

ConsoleOperator::ConsoleOperator(std::ostream& out, std::ostream& err, Answers answers,
                                 bool progressBar)
    : out_(out), err_(err), answers_(std::move(answers)), progressBar_(progressBar) {}

std::string ConsoleOperator::YxyText() const {
  return yxy_[0] + " " + yxy_[1] + " " + yxy_[2];
}

int ConsoleOperator::MessageBox(const std::string& text, const std::string& caption, int flags) {
  EndProgressLine();
  if (flags == kYesNoQuestion) return Answer(text, caption);
  err_ << caption << ": " << text << std::endl;
  return kAnswerOk;
}

int ConsoleOperator::ShowReport(const std::string& text, const std::string&, int) {
  EndProgressLine();
  out_ << text << std::endl;
  return kAnswerOk;
}

// A question's answer follows its text on the same line.
int ConsoleOperator::Answer(const std::string& text, const std::string& caption) {
  err_ << caption << ": " << text;
  if (!answers_.question) {
    questionUnanswered_ = true;
    err_ << " (no --yes or --no: answered No)" << std::endl;
    return kAnswerNo;
  }
  err_ << (*answers_.question == kAnswerYes ? " Yes" : " No") << std::endl;
  return *answers_.question;
}

void ConsoleOperator::SetStatusText(int panel, const std::string& text, bool) {
  if (panel >= 0 && panel < 3) status_[panel] = text;
}

std::string ConsoleOperator::StatusText(int panel) const {
  return panel >= 0 && panel < 3 ? status_[panel] : std::string();
}

void ConsoleOperator::ShowMessageLine(const std::string& text) {
  if (text.empty()) return;
  EndProgressLine();
  err_ << text << std::endl;
}

std::string ConsoleOperator::AnalyzerOffsetText(int axis) const {
  return axis == 0 || axis == 1 ? answers_.offsets[axis] : std::string();
}

void ConsoleOperator::SetAnalyzerOffsetText(int axis, const std::string& text) {
  if (axis == 0 || axis == 1) answers_.offsets[axis] = text;
}

void ConsoleOperator::ShowMeasurement(const std::string& x, const std::string& y,
                                      const std::string& Y, const std::string&) {
  yxy_ = {x, y, Y};
}

// "Grey ramp [#####-----] 128/256", redrawn in place.
void ConsoleOperator::ShowProgress(int done, int total) {
  if (!progressBar_ || total <= 0) return;
  done = std::clamp(done, 0, total);
  const int filled = done * kProgressColumns / total;
  err_ << "\rGrey ramp [" << std::string(filled, '#') << std::string(kProgressColumns - filled, '-')
       << "] " << FormatC("%3d/%d", done, total) << std::flush;
  progressShown_ = true;
}

void ConsoleOperator::ClearProgress() {
  if (!progressBar_) return;
  if (progressShown_) err_ << '\r' << std::string(kProgressColumns + 24, ' ') << '\r' << std::flush;
  progressShown_ = false;
}

void ConsoleOperator::EndProgressLine() {
  if (!progressShown_) return;
  err_ << '\n';
  progressShown_ = false;
}

std::optional<int> ConsoleOperator::MemoryIndex(const std::string& text) {
  const auto& names = setting::kMemories;
  const auto found = std::find(std::begin(names), std::end(names), text);
  if (found == std::end(names)) return std::nullopt;
  return static_cast<int>(found - std::begin(names));
}

void ConsoleOperator::SelectLutMemory(const std::string& text) {
  if (auto index = MemoryIndex(text)) answers_.lutMemory = *index;
}

void ConsoleOperator::SelectFilmGammaMemory(const std::string& text) {
  if (auto index = MemoryIndex(text)) answers_.filmGammaMemory = *index;
}

bool ConsoleOperator::OpenDialog(const std::string&, const std::string&, std::string&) {
  return false;
}

bool ConsoleOperator::SaveDialog(const std::string&, const std::string&, std::string& path) {
  if (answers_.savePath.empty()) return false;
  path = answers_.savePath;
  return true;
}

}  // namespace velluma::cli
