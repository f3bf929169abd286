#include "app/ModalMessageBox.h"

#include <QMessageBox>

#include "calibration/Dialogs.h"

namespace velluma {

int ShowModalMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                        int flags) {
  QMessageBox box(owner);
  box.setWindowTitle(QString::fromStdString(caption));
  box.setText(QString::fromStdString(text));
  switch (flags) {
    case Dialogs::kError:
      box.setIcon(QMessageBox::Critical);
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case Dialogs::kOkCancelError:
      box.setIcon(QMessageBox::Critical);
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case Dialogs::kYesNoQuestion:
      box.setIcon(QMessageBox::Question);
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Cancel:
      return Dialogs::kAnswerCancel;
    case QMessageBox::Yes:
      return Dialogs::kAnswerYes;
    case QMessageBox::No:
      return Dialogs::kAnswerNo;
    default:
      return Dialogs::kAnswerOk;
  }
}

}  // namespace velluma
