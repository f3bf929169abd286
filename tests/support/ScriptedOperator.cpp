#include "tests/support/ScriptedOperator.h"

namespace velluma::test {

namespace {
int MemoryIndex(const std::string& text, int current) {
  if (text == "USER1") return 0;
  if (text == "USER2") return 1;
  if (text == "USER3") return 2;
  return current;
}
}  // namespace

int ScriptedOperator::MessageBox(const std::string& text, const std::string& caption, int flags) {
  boxes.push_back({text, caption, flags});
  calls.push_back("MessageBox " + text);
  if (answers.empty()) return kAnswerOk;
  int answer = answers.front();
  answers.pop_front();
  return answer;
}

void ScriptedOperator::SetStatusText(int panel, const std::string& text, bool repaintNow) {
  status[panel] = text;
  calls.push_back("Status" + std::to_string(panel) + " " + text + (repaintNow ? " (repaint)" : ""));
}

void ScriptedOperator::ShowMessageLine(const std::string& text) {
  messageLine = text;
  calls.push_back("MessageLine " + text);
}

void ScriptedOperator::LockControls() {
  locked = true;
  calls.push_back("LockControls");
}

void ScriptedOperator::UnlockControls() {
  locked = false;
  calls.push_back("UnlockControls");
}

void ScriptedOperator::SetProcedureRunning(bool running) {
  procedureRunning = running;
  calls.push_back(running ? "ProcedureRunning" : "ProcedureDone");
}

void ScriptedOperator::SetAnalyzerOffsetText(int axis, const std::string& text) {
  offsets[axis] = text;
  calls.push_back("Offset" + std::to_string(axis) + " " + text);
}

void ScriptedOperator::ShowMeasurement(const std::string& x, const std::string& y,
                                       const std::string& Y, const std::string& patchName) {
  yxy[0] = x;
  yxy[1] = y;
  yxy[2] = Y;
  yxy[3] = patchName;
}

void ScriptedOperator::ShowModelName(const std::string& model) {
  modelName = model;
  calls.push_back("ModelName " + model);
}

void ScriptedOperator::AcceptDroppedFiles() {
  dropsAccepted = true;
  calls.push_back("AcceptDroppedFiles");
}

void ScriptedOperator::SelectLutMemory(const std::string& text) {
  lutMemory = MemoryIndex(text, lutMemory);
}

void ScriptedOperator::SelectFilmGammaMemory(const std::string& text) {
  filmGammaMemory = MemoryIndex(text, filmGammaMemory);
}

bool ScriptedOperator::OpenDialog(const std::string& filter, const std::string& fileName,
                                  std::string& path) {
  calls.push_back("OpenDialog " + filter + " " + fileName);
  dialogFilters.push_back(filter);
  path = dialogAnswers.empty() ? "" : dialogAnswers.front();
  if (!dialogAnswers.empty()) dialogAnswers.pop_front();
  return !path.empty();
}

bool ScriptedOperator::SaveDialog(const std::string& filter, const std::string& fileName,
                                  std::string& path) {
  calls.push_back("SaveDialog " + filter + " " + fileName);
  dialogFilters.push_back(filter);
  path = dialogAnswers.empty() ? "" : dialogAnswers.front();
  if (!dialogAnswers.empty()) dialogAnswers.pop_front();
  return !path.empty();
}

void ScriptedOperator::ShowStartPages() {
  activeTab = kCalibrationTab;
  calls.push_back("ShowStartPages");
}

}  // namespace velluma::test
