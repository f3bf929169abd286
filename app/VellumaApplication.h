#pragma once

#include <QApplication>

namespace velluma {

// The application object: its top-level handler shows an error that escaped an event handler in
// a message box, and the program keeps running.
class VellumaApplication : public QApplication {
  Q_OBJECT

 public:
  VellumaApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  static void ShowError(const char* text);
};

}  // namespace velluma
