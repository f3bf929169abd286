#include "app/VellumaApplication.h"

#include <QMessageBox>
#include <exception>

namespace velluma {

VellumaApplication::VellumaApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Velluma");
  setOrganizationName("Quillem");
  QFont interfaceFont = font();
  interfaceFont.setPixelSize(12);
  setFont(interfaceFont);
}

bool VellumaApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowError(error.what());
  }
  return false;
}

void VellumaApplication::ShowError(const char* text) {
  QMessageBox::critical(activeWindow(), "Velluma", QString::fromLocal8Bit(text));
}

}  // namespace velluma
