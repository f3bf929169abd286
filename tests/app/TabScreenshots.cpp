// velluma-tab-screenshots DIR: the main window offscreen with sample data in every table, one
// picture per tab (calibration.png, lookuptable.png, filmgamma.png, lcdcolor.png) into DIR, and
// one of an AUTO run against the virtual bench halfway through its grey ramp (auto-ramp.png), the
// two dialogs (property-connect.png, property-calibration.png, version.png), and the Verification
// page after a run on a bench display with tinted shadows and a soft top, one picture per chart
// (verification-tone.png, verification-deltae.png, verification-xy.png, verification-target.png),
// and after a correction of USER2 on a panel whose shadows turn blue, its tone curves and ΔE2000
// bars before and after (correction-tone.png, correction-deltae.png).
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/AboutDialog.h"
#include "app/HistoryDialog.h"
#include "app/MainWindow.h"
#include "app/ProgressPanel.h"
#include "app/PropertyDialog.h"
#include "app/VellumaApplication.h"
#include "app/VerificationPage.h"
#include "tests/app/WindowRig.h"
#include "tests/support/StationSeam.h"

namespace {

using velluma::MainWindow;
using velluma::Station;
using velluma::test::Named;
using velluma::test::OperatorOf;

void FillSampleData(Station& station) {
  velluma::CalibrationData data;
  data.primaries = {velluma::XyYValue{0.6401, 0.3299, 61.234},
                    {0.2998, 0.6003, 180.872},
                    {0.1502, 0.0598, 17.015}};
  for (int n = 0; n < 256; ++n)
    data.greyLevels[n] = {0.3127 + 0.0004 * std::sin(n / 9.0), 0.3290 - 0.0003 * std::cos(n / 7.0),
                          0.05 + 259.1 * std::pow(n / 255.0, 2.2)};
  velluma::test::StationSeam(station).HoldCalibrationData(data);
  velluma::UserMemoryTables::LutTable lut{};
  for (int e = 0; e < 4096; ++e) {
    const int r = e % 16, g = (e / 16) % 16, b = e / 256;
    const int codes[] = {r * 1023 / 15, g * 1023 / 15, b * 1023 / 15};
    for (int c = 0; c < 3; ++c) lut[c][e] = codes[c];
  }
  velluma::test::StationSeam(station).HoldLut(0, lut);
  velluma::UserMemoryTables::FilmGammaTable filmGamma{};
  for (int i = 0; i < 1024; ++i)
    filmGamma[i] = static_cast<int>(std::lround(1023 * std::pow(i / 1023.0, 1 / 2.4)));
  velluma::test::StationSeam(station).HoldFilmGamma(0, filmGamma);
}

// The window connected to a bench of its own, measuring with a CA-310 through the bench's server
// module, its settings and files in a scratch folder and every box answered OK.
struct BenchWindow {
  explicit BenchWindow(std::vector<std::string> benchOptions) : rig(std::move(benchOptions), 0.02) {
    rig.MeasureThrough(rig.bench);
    form = rig.Start();
  }

  velluma::test::BenchWindowRig rig;
  std::unique_ptr<MainWindow> form;
};

// AUTO; the window is pictured once the progress bar has passed the middle of status panel 1.
bool ShootAutoRun(const QDir& dir) {
  BenchWindow bench({"--reply-delay", "10"});
  MainWindow& window = *bench.form;
  window.dialogHook = [&](QFileDialog&) { return bench.rig.dir.File("auto.txt"); };
  window.show();
  for (int i = 0; i < 10; ++i) QApplication::processEvents();  // the status bar paints once
  auto* progress = Named<velluma::ProgressPanel>(window, "progressPanel");
  bool shot = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (shot || progress->FilledArea().width() < progress->width() / 2) return;
    shot = window.grab().save(dir.filePath("auto-ramp.png"));
  });
  watch.start(20);
  Named<QPushButton>(window, "autoButton")->click();
  return shot;
}

// Verify on a display whose greys drift blue in the shadows and whose curve has a toe and a
// shoulder, in a window large enough for the charts to be read.
bool ShootVerification(const QDir& dir) {
  BenchWindow bench({"--reply-delay", "10", "--tint-dark-x", "-0.012", "--tint-dark-y", "-0.016",
                     "--toe", "0.03", "--shoulder", "0.15", "--primaries",
                     "0.655 0.328 0.295 0.615 0.151 0.058", "--noise", "0.0003", "--seed", "3"});
  MainWindow& window = *bench.form;
  window.resize(1000, 620);
  window.show();
  Named<QPushButton>(window, "verifyButton")->click();
  auto* chartPages = Named<QTabWidget>(window, "verificationChartPages");
  const std::pair<int, const char*> pages[] = {{0, "verification-tone.png"},
                                               {1, "verification-deltae.png"},
                                               {2, "verification-xy.png"},
                                               {3, "verification-target.png"}};
  for (const auto& [page, file] : pages) {
    chartPages->setCurrentIndex(page);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    if (!window.grab().save(dir.filePath(file))) return false;
  }
  return Named<velluma::VerificationPage>(window, "verificationPage")->Finished().has_value();
}

// Correct on a panel of the bench's whose shadows turn blue, USER2 selected on the monitor.
bool ShootCorrection(const QDir& dir) {
  BenchWindow bench({"--reply-delay", "10", "--display", VELLUMA_PANELS_DIR "/shadow-tint.panel",
                     "--seed", "3", "--memory", "USER2"});
  bench.rig.answers = {velluma::Dialogs::kAnswerYes};
  MainWindow& window = *bench.form;
  window.resize(1000, 620);
  window.show();
  Named<QComboBox>(window, "correctMemoryList")->setCurrentIndex(1);
  Named<QPushButton>(window, "correctButton")->click();
  auto* chartPages = Named<QTabWidget>(window, "verificationChartPages");
  const std::pair<int, const char*> pages[] = {{0, "correction-tone.png"},
                                               {1, "correction-deltae.png"}};
  for (const auto& [page, file] : pages) {
    chartPages->setCurrentIndex(page);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    if (!window.grab().save(dir.filePath(file))) return false;
  }
  return Named<velluma::VerificationPage>(window, "verificationPage")
      ->FinishedCorrection()
      .has_value();
}

// A dialog of the window, opened by `action`, pictured into `file` once `arrange` has set it up.
template <typename Dialog>
bool ShootDialog(MainWindow& window, const char* action, const QString& file,
                 const std::function<void(Dialog&)>& arrange = {}) {
  bool saved = false;
  velluma::test::WhileDialogShows<Dialog>(window, action, [&](Dialog& dialog) {
    if (arrange) arrange(dialog);
    QApplication::processEvents();
    saved = dialog.grab().save(file);
  });
  return saved;
}

// The two settings pages, the version dialog and the History dialog over five weeks of a
// monitor's runs.
bool ShootDialogs(const QDir& dir, MainWindow& window, const velluma::test::WindowRig& rig) {
  const auto page = [](int index) {
    return [index](velluma::PropertyDialog& dialog) {
      Named<QTabWidget>(dialog, "propertyPages")->setCurrentIndex(index);
    };
  };
  window.TheStation().UseHistory(rig.SampleHistoryFile());
  return ShootDialog<velluma::PropertyDialog>(window, "propertyAction",
                                              dir.filePath("property-connect.png"), page(0)) &&
         ShootDialog<velluma::PropertyDialog>(window, "propertyAction",
                                              dir.filePath("property-calibration.png"), page(1)) &&
         ShootDialog<velluma::AboutDialog>(window, "versionAction", dir.filePath("version.png")) &&
         ShootDialog<velluma::HistoryDialog>(window, "historyAction", dir.filePath("history.png"));
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
  velluma::test::WindowRig rig(0.001);
  const auto started = rig.Start();
  MainWindow& window = *started;
  velluma::Operator& shown = OperatorOf(window);
  shown.ShowModelName("QX-7MR520");
  FillSampleData(window.TheStation());
  shown.RefreshCalibrationTables();
  shown.RefreshLutTable();
  shown.RefreshFilmGammaTable();
  window.show();
  const struct {
    int tab;
    int tablePage;
    const char* file;
  } shots[] = {{0, 0, "calibration.png"},
               {0, 1, "lcdcolor.png"},
               {1, 0, "lookuptable.png"},
               {2, 0, "filmgamma.png"}};
  for (const auto& shot : shots) {
    Named<QTabWidget>(window, "functionTabs")->setCurrentIndex(shot.tab);
    Named<QTabWidget>(window, "tablePages")->setCurrentIndex(shot.tablePage);
    QApplication::processEvents();
    if (!window.grab().save(dir.filePath(shot.file))) return 1;
  }
  if (!ShootDialogs(dir, window, rig)) return 1;
  window.close();
  return ShootAutoRun(dir) && ShootVerification(dir) && ShootCorrection(dir) ? 0 : 1;
}
