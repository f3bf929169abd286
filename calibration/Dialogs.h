#pragma once

#include <string>

namespace velluma {

// The operator's questions and boxes: modal message boxes, the open and save dialogs and the
// settings dialog. A procedure waits for each answer.
class Dialogs {
 public:
  // Message box flags and the answers the procedures test.
  static constexpr int kOk = 0;              // OK, no icon
  static constexpr int kError = 16;          // OK, stop icon
  static constexpr int kOkCancelError = 17;  // OK and Cancel, stop icon
  static constexpr int kYesNoQuestion = 36;  // Yes and No, question icon
  static constexpr int kAnswerOk = 1;
  static constexpr int kAnswerCancel = 2;
  static constexpr int kAnswerYes = 6;
  static constexpr int kAnswerNo = 7;

  virtual ~Dialogs() = default;

  // A modal message box; returns the button pressed.
  virtual int MessageBox(const std::string& text, const std::string& caption, int flags) = 0;
  // The box that reports what a procedure found (AUTO's report): a message box like any other,
  // which the command line prints as the command's result.
  virtual int ShowReport(const std::string& text, const std::string& caption, int flags) {
    return MessageBox(text, caption, flags);
  }

  // The common open and save dialogs. `filter` is in the "Description|pattern|..." form; the
  // dialog proposes `fileName`. False when the operator cancels; otherwise `path` is the choice.
  virtual bool OpenDialog(const std::string& filter, const std::string& fileName,
                          std::string& path) = 0;
  virtual bool SaveDialog(const std::string& filter, const std::string& fileName,
                          std::string& path) = 0;

  // The settings dialog, modal; returns when it has closed, however it was closed.
  virtual void ShowPropertyDialog() = 0;
};

}  // namespace velluma
