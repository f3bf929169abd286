// velluma [FILE]: the main window of the QX-7MR520 calibration tool; a file given (as a file
// manager gives one) is opened once the window has started.
#include <exception>
#include <iostream>

#include "app/MainWindow.h"
#include "app/VellumaApplication.h"
#include "calibration/RunHistory.h"
#include "platform/Console.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"

int main(int argc, char** argv) {
  velluma::VellumaApplication application(argc, argv);
  velluma::SettingsStore settings;
  velluma::RealClock clock;
  try {
    velluma::MainWindow window(settings, clock);
    window.TheStation().UseHistory(velluma::DefaultHistoryLocation(), &std::clog);
    // Shown before start-up, so the operator sees "Busy" while a silent monitor is waited for.
    window.show();
    velluma::VellumaApplication::processEvents();
    window.Start();
    // The file is the last argument (as a file manager gives it), in UTF-8 on every system.
    const auto arguments = velluma::ProgramArguments(argc, argv);
    if (!arguments.empty()) window.OpenGivenFile(arguments.back());
    return application.exec();
  } catch (const std::exception& error) {
    velluma::VellumaApplication::ShowError(error.what());
    return 1;
  }
}
