// velluma-tab-screenshots DIR: the main window offscreen with sample data in every table, one
// picture per tab (calibration.png, lookuptable.png, filmgamma.png, lcdcolor.png) into DIR.
#include <QDir>
#include <QTabWidget>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/TonwickUnit.h"
#include "app/VellumaApplication.h"

namespace {

using velluma::Station;

void FillSampleData(Station& station) {
  auto& data = station.CalibrationData;
  data.Primaries = {velluma::XyYValue{0.6401, 0.3299, 61.234}, {0.2998, 0.6003, 180.872},
                    {0.1502, 0.0598, 17.015}};
  for (int n = 0; n < 256; ++n)
    data.YxyTable[n] = {0.3127 + 0.0004 * std::sin(n / 9.0), 0.3290 - 0.0003 * std::cos(n / 7.0),
                        0.05 + 259.1 * std::pow(n / 255.0, 2.2)};
  for (int e = 0; e < 4096; ++e) {
    const int r = e % 16, g = (e / 16) % 16, b = e / 256;
    const int codes[] = {r * 1023 / 15, g * 1023 / 15, b * 1023 / 15};
    for (int c = 0; c < 3; ++c) station.Tables.LutTables[0][c][e] = codes[c];
  }
  for (int i = 0; i < 1024; ++i)
    station.Tables.FilmGammaTables[0][i] = static_cast<int>(std::lround(1023 * std::pow(i / 1023.0, 1 / 2.4)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: velluma-tab-screenshots DIR\n");
    return 2;
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  velluma::VellumaApplication application(argc, argv);
  const QDir dir(argv[1]);
  velluma::SettingsStore settings(dir.filePath("Velluma.reg").toStdString());
  velluma::ScaledClock clock(0.001);
  settings.LoadSettings();
  settings.WriteStringSetting("MonitorPort", dir.filePath("no-monitor").toStdString());
  velluma::TTonwickForm window(settings, clock);
  window.FormCreate();
  window.ShowModelName("QX-7MR520");
  FillSampleData(window.station());
  window.RefreshGridWB();
  window.RefreshGridLUT();
  window.RefreshGridFG();
  window.show();
  const struct {
    int tab;
    int tablePage;
    const char* file;
  } shots[] = {{0, 0, "calibration.png"}, {0, 1, "lcdcolor.png"}, {1, 0, "lookuptable.png"},
               {2, 0, "filmgamma.png"}};
  for (const auto& shot : shots) {
    window.FuncPageControl->setCurrentIndex(shot.tab);
    window.TablePageControl->setCurrentIndex(shot.tablePage);
    QApplication::processEvents();
    if (!window.grab().save(dir.filePath(shot.file))) return 1;
  }
  return 0;
}
