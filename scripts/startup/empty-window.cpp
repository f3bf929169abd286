// empty-window: an empty Qt main window of the main window's size, the yardstick the start-up
// benchmark times velluma against.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QMainWindow window;
  window.setWindowTitle("Empty");
  window.resize(693, 480);
  window.show();
  return application.exec();
}
