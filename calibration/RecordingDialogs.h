#pragma once

#include <string>
#include <vector>

#include "calibration/Dialogs.h"
#include "calibration/ShownBox.h"

namespace velluma {

// The operator's dialogs as the station's procedures reach them: everything goes through to the
// operator's own, and the message boxes shown since the last Forget are remembered, so the run
// history can keep the report a procedure ended with.
class RecordingDialogs : public Dialogs {
 public:
  explicit RecordingDialogs(Dialogs& dialogs) : dialogs_(dialogs) {}

  int MessageBox(const std::string& text, const std::string& caption, int flags) override {
    boxes_.push_back({text, caption, flags});
    return dialogs_.MessageBox(text, caption, flags);
  }
  bool OpenDialog(const std::string& filter, const std::string& fileName,
                  std::string& path) override {
    return dialogs_.OpenDialog(filter, fileName, path);
  }
  bool SaveDialog(const std::string& filter, const std::string& fileName,
                  std::string& path) override {
    return dialogs_.SaveDialog(filter, fileName, path);
  }
  void ShowPropertyDialog() override { dialogs_.ShowPropertyDialog(); }

  const std::vector<ShownBox>& Boxes() const { return boxes_; }
  void Forget() { boxes_.clear(); }

 private:
  Dialogs& dialogs_;
  std::vector<ShownBox> boxes_;
};

}  // namespace velluma
