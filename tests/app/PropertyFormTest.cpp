// The settings and version dialogs, offscreen, opened through the main window against the bench.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

#include "app/AboutUnit.h"
#include "app/PropertyUnit.h"
#include "app/TonwickUnit.h"
#include "tests/app/WindowRig.h"
#include "tests/support/StationSeam.h"

namespace velluma {
namespace {

class PropertyFormTest : public ::testing::Test, protected test::BenchWindowRig {
 protected:
  PropertyFormTest() : BenchWindowRig({"--reply-delay", "10"}) {}

  // Runs `steps` with the settings dialog open (modal, inside the Property action), then makes
  // sure it closes.
  void Property(TTonwickForm& window, const std::function<void(TPropertyForm&)>& steps) {
    QTimer::singleShot(0, &window, [&window, steps] {
      steps(*window.PropertyForm);
      if (window.PropertyForm->isVisible()) window.PropertyForm->reject();
    });
    window.FileProperty->trigger();
  }

  static void Choose(QComboBox* list, const QString& text) {
    const int index = list->findText(text);
    list->setCurrentIndex(index);
    emit list->activated(index);
  }
};

TEST_F(PropertyFormTest, TheFirstOpeningShowsTheEmptyPageAndTheStoredSettings) {
  settings.WriteStringSetting("AnalizerModel", "PR-655");
  settings.WriteStringSetting("AnalizerPort", "COM4");
  settings.WriteIntSetting("MonitorSpeed", 38400);
  auto window = Start();
  Property(*window, [](TPropertyForm& form) {
    EXPECT_EQ(form.windowTitle(), "Property");
    EXPECT_EQ(form.PageControl->tabText(form.PageControl->currentIndex()), "FilmGamma");
    EXPECT_EQ(form.AModelComboBox->currentText(), "PR-655");
    EXPECT_EQ(form.APortComboBox->currentText(), "COM4");
    EXPECT_EQ(form.TypeComboBox->currentText(), "RS-232C");
    EXPECT_EQ(form.MPortComboBox->currentText(), "") << "a device path matches no entry";
    EXPECT_EQ(form.MSpeedComboBox->currentText(), "38400");
    EXPECT_EQ(form.LutFileTypeComboBox->currentText(), "Baselight");
    EXPECT_FALSE(form.APPLYButton->isEnabled());
    form.PageControl->setCurrentIndex(1);
  });
  Property(*window, [](TPropertyForm& form) {
    EXPECT_EQ(form.PageControl->tabText(form.PageControl->currentIndex()), "Calibration")
        << "afterwards the page shown last";
  });
}

TEST_F(PropertyFormTest, TheLutFormatHasNoChangeEventButOkWritesIt) {
  auto window = Start();
  Property(*window, [](TPropertyForm& form) {
    Choose(form.LutFileTypeComboBox, "Davinci Resolve");
    EXPECT_FALSE(form.APPLYButton->isEnabled());
    Choose(form.MPortComboBox, "COM1");
    form.OKButton->click();
  });
  EXPECT_EQ(settings.ReadStringSetting("LutFileType"), "Davinci Resolve");
}

TEST_F(PropertyFormTest, TheModelListSwitchesThePortByTheStoredModel) {
  settings.WriteStringSetting("AnalizerModel", "CA-210");
  settings.WriteStringSetting("AnalizerPort", "COM2");
  auto window = Start();
  Property(*window, [](TPropertyForm& form) {
    Choose(form.AModelComboBox, "PR-655");
    EXPECT_EQ(form.APortComboBox->currentText(), "USB");
    EXPECT_TRUE(form.APPLYButton->isEnabled());
  });
  settings.WriteStringSetting("AnalizerModel", "PR-655");
  settings.WriteStringSetting("AnalizerPort", "COM2");
  Property(*window, [](TPropertyForm& form) {
    Choose(form.AModelComboBox, "CA-210");
    EXPECT_EQ(form.APortComboBox->currentText(), "COM2");
  });
}

TEST_F(PropertyFormTest, AnUnknownSpeedLeavesNoSelectionAndOkFailsAndStaysOpen) {
  settings.WriteIntSetting("MonitorSpeed", 4800);
  settings.WriteStringSetting("MonitorType", "RS-232C");
  auto window = Start();
  Property(*window, [this](TPropertyForm& form) {
    EXPECT_EQ(form.MSpeedComboBox->currentIndex(), -1);
    Choose(form.AModelComboBox, "PR-655");
    form.OKButton->click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"'' is not a valid integer value"});
    EXPECT_EQ(settings.ReadStringSetting("AnalizerModel"), "PR-655") << "written before the speed";
    EXPECT_EQ(settings.ReadIntSetting("MonitorSpeed"), 4800);
  });
}

TEST_F(PropertyFormTest, CancelAfterApplyKeepsTheSettingsAndTheDevicesFollowThem) {
  settings.WriteStringSetting("AnalizerModel", "NoConnect");
  auto window = Start();
  Property(*window, [](TPropertyForm& form) {
    Choose(form.AModelComboBox, "PR-655");
    Choose(form.APortComboBox, "COM2");
    form.APPLYButton->click();
    EXPECT_FALSE(form.APPLYButton->isEnabled());
    form.CANCELButton->click();
  });
  EXPECT_EQ(settings.ReadStringSetting("AnalizerModel"), "PR-655");
  EXPECT_TRUE(test::StationSeam(window->station()).DeviceSet().Pr());
  EXPECT_FALSE(test::StationSeam(window->station()).DeviceSet().Ca());
  EXPECT_TRUE(test::StationSeam(window->station()).Link());
  EXPECT_EQ(window->StatusText(0), "");

  Property(*window, [](TPropertyForm& form) {
    Choose(form.AModelComboBox, "CA-210");
    form.OKButton->click();
  });
  EXPECT_FALSE(test::StationSeam(window->station()).DeviceSet().Pr());
  EXPECT_FALSE(test::StationSeam(window->station()).DeviceSet().Ca())
      << "made by the next 0-CAL. or AUTO";
}

TEST_F(PropertyFormTest, AnotherMonitorPortReconnectsWithoutARestart) {
  // Two virtual monitors as COM1 and COM5 of one ports directory, as an operator would link them.
  BenchProcess other({"--reply-delay", "10"});
  std::filesystem::create_directories(dir.Path() / "ports");
  std::filesystem::create_symlink(std::filesystem::read_symlink(bench.MonitorDevice()),
                                  dir.Path() / "ports/COM1");
  std::filesystem::create_symlink(std::filesystem::read_symlink(other.MonitorDevice()),
                                  dir.Path() / "ports/COM5");
  ::setenv("VELLUMA_PORTS", dir.File("ports").c_str(), 1);
  settings.WriteStringSetting("MonitorPort", "COM1");
  auto window = Start();
  EXPECT_EQ(window->ModelNameLabel->text(), "QX-7MR520");
  Property(*window, [](TPropertyForm& form) {
    Choose(form.MPortComboBox, "COM5");
    form.OKButton->click();
  });
  ::unsetenv("VELLUMA_PORTS");
  EXPECT_EQ(settings.ReadStringSetting("MonitorPort"), "COM5");
  std::string reply;
  EXPECT_EQ(test::StationSeam(window->station()).Link()->Query("QID", reply), 3);
  EXPECT_EQ(other.Log(), (std::vector<std::string>{"MCO:1", "QID", "MCO:0"}));
}

TEST_F(PropertyFormTest, TheVersionDialog) {
  auto window = Start();
  EXPECT_EQ(window->AboutBox->windowTitle(), "Version information");
  EXPECT_EQ(window->AboutBox->ProductName->text(), "Velluma");
  EXPECT_EQ(window->AboutBox->Version->text(), "Version 1.0");
  EXPECT_TRUE(window->AboutBox->OKButton->isDefault());
  QTimer::singleShot(0, window.get(), [&] { window->AboutBox->OKButton->click(); });
  window->HelpAbout->trigger();
  EXPECT_FALSE(window->AboutBox->isVisible());
}

}  // namespace
}  // namespace velluma
