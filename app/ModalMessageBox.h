#pragma once

#include <string>

class QWidget;

namespace velluma {

// A modal message box over `owner` with the buttons and the icon the flags name (the Windows
// message box's: Dialogs::kError, kOkCancelError, kYesNoQuestion, else OK alone); returns the
// answer as Dialogs numbers it.
int ShowModalMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                        int flags);

}  // namespace velluma
