// The settings and version dialogs, offscreen, opened through the main window against the bench.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <cstdlib>
#include <filesystem>

#include "app/AboutDialog.h"
#include "app/MainWindow.h"
#include "app/PropertyDialog.h"
#include "tests/app/WindowRig.h"
#include "tests/support/StationSeam.h"

namespace velluma {
namespace {

using test::Named;
using test::OperatorOf;

class PropertyDialogTest : public ::testing::Test, protected test::BenchWindowRig {
 protected:
  PropertyDialogTest() : BenchWindowRig({"--reply-delay", "10"}) {}

  // Runs `steps` with the settings dialog open (modal, inside the Property action), then makes
  // sure it closes.
  static void Property(MainWindow& window, const std::function<void(PropertyDialog&)>& steps) {
    ASSERT_TRUE(test::WhileDialogShows(window, "propertyAction", steps));
  }

  static QComboBox* List(PropertyDialog& dialog, const char* name) {
    return Named<QComboBox>(dialog, name);
  }

  static QPushButton* Button(PropertyDialog& dialog, const char* name) {
    return Named<QPushButton>(dialog, name);
  }

  static QTabWidget* Pages(PropertyDialog& dialog) {
    return Named<QTabWidget>(dialog, "propertyPages");
  }

  static void Choose(PropertyDialog& dialog, const char* list, const QString& text) {
    QComboBox* choices = List(dialog, list);
    const int index = choices->findText(text);
    choices->setCurrentIndex(index);
    emit choices->activated(index);
  }
};

TEST_F(PropertyDialogTest, TheFirstOpeningShowsTheEmptyPageAndTheStoredSettings) {
  settings.WriteStringSetting("AnalizerModel", "PR-655");
  settings.WriteStringSetting("AnalizerPort", "COM4");
  settings.WriteIntSetting("MonitorSpeed", 38400);
  auto window = Start();
  Property(*window, [](PropertyDialog& form) {
    EXPECT_EQ(form.windowTitle(), "Property");
    EXPECT_EQ(Pages(form)->tabText(Pages(form)->currentIndex()), "FilmGamma");
    EXPECT_EQ(List(form, "analyzerModelList")->currentText(), "PR-655");
    EXPECT_EQ(List(form, "analyzerPortList")->currentText(), "COM4");
    EXPECT_EQ(List(form, "monitorTypeList")->currentText(), "RS-232C");
    EXPECT_EQ(List(form, "monitorPortList")->currentText(), "") << "a device path matches no entry";
    EXPECT_EQ(List(form, "monitorSpeedList")->currentText(), "38400");
    EXPECT_EQ(List(form, "lutFormatList")->currentText(), "Baselight");
    EXPECT_FALSE(Button(form, "applyButton")->isEnabled());
    Pages(form)->setCurrentIndex(1);
  });
  Property(*window, [](PropertyDialog& form) {
    EXPECT_EQ(Pages(form)->tabText(Pages(form)->currentIndex()), "Calibration")
        << "afterwards the page shown last";
  });
}

TEST_F(PropertyDialogTest, TheLutFormatHasNoChangeEventButOkWritesIt) {
  auto window = Start();
  Property(*window, [](PropertyDialog& form) {
    Choose(form, "lutFormatList", "Davinci Resolve");
    EXPECT_FALSE(Button(form, "applyButton")->isEnabled());
    Choose(form, "monitorPortList", "COM1");
    Button(form, "okButton")->click();
  });
  EXPECT_EQ(settings.ReadStringSetting("LutFileType"), "Davinci Resolve");
}

TEST_F(PropertyDialogTest, TheModelListSwitchesThePortByTheStoredModel) {
  settings.WriteStringSetting("AnalizerModel", "CA-210");
  settings.WriteStringSetting("AnalizerPort", "COM2");
  auto window = Start();
  Property(*window, [](PropertyDialog& form) {
    Choose(form, "analyzerModelList", "PR-655");
    EXPECT_EQ(List(form, "analyzerPortList")->currentText(), "USB");
    EXPECT_TRUE(Button(form, "applyButton")->isEnabled());
  });
  settings.WriteStringSetting("AnalizerModel", "PR-655");
  settings.WriteStringSetting("AnalizerPort", "COM2");
  Property(*window, [](PropertyDialog& form) {
    Choose(form, "analyzerModelList", "CA-210");
    EXPECT_EQ(List(form, "analyzerPortList")->currentText(), "COM2");
  });
}

TEST_F(PropertyDialogTest, AnUnknownSpeedLeavesNoSelectionAndOkFailsAndStaysOpen) {
  settings.WriteIntSetting("MonitorSpeed", 4800);
  settings.WriteStringSetting("MonitorType", "RS-232C");
  auto window = Start();
  Property(*window, [this](PropertyDialog& form) {
    EXPECT_EQ(List(form, "monitorSpeedList")->currentIndex(), -1);
    Choose(form, "analyzerModelList", "PR-655");
    Button(form, "okButton")->click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"'' is not a valid integer value"});
    EXPECT_EQ(settings.ReadStringSetting("AnalizerModel"), "PR-655") << "written before the speed";
    EXPECT_EQ(settings.ReadIntSetting("MonitorSpeed"), 4800);
  });
}

TEST_F(PropertyDialogTest, CancelAfterApplyKeepsTheSettingsAndTheDevicesFollowThem) {
  settings.WriteStringSetting("AnalizerModel", "NoConnect");
  auto window = Start();
  Property(*window, [](PropertyDialog& form) {
    Choose(form, "analyzerModelList", "PR-655");
    Choose(form, "analyzerPortList", "COM2");
    Button(form, "applyButton")->click();
    EXPECT_FALSE(Button(form, "applyButton")->isEnabled());
    Button(form, "cancelButton")->click();
  });
  EXPECT_EQ(settings.ReadStringSetting("AnalizerModel"), "PR-655");
  EXPECT_TRUE(test::StationSeam(window->TheStation()).DeviceSet().Pr());
  EXPECT_FALSE(test::StationSeam(window->TheStation()).DeviceSet().Ca());
  EXPECT_TRUE(test::StationSeam(window->TheStation()).Link());
  EXPECT_EQ(OperatorOf(*window).StatusText(0), "");

  Property(*window, [](PropertyDialog& form) {
    Choose(form, "analyzerModelList", "CA-210");
    Button(form, "okButton")->click();
  });
  EXPECT_FALSE(test::StationSeam(window->TheStation()).DeviceSet().Pr());
  EXPECT_FALSE(test::StationSeam(window->TheStation()).DeviceSet().Ca())
      << "made by the next 0-CAL. or AUTO";
}

TEST_F(PropertyDialogTest, AnotherMonitorPortReconnectsWithoutARestart) {
#ifdef _WIN32
  GTEST_SKIP() << "the list offers COM1 to COM9, which under Wine are the prefix's own ports; the "
                  "pty relay links a bench's monitor at COM10 and up";
#else
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
  EXPECT_EQ(Named<QLabel>(*window, "modelNameLabel")->text(), "QX-7MR520");
  Property(*window, [](PropertyDialog& form) {
    Choose(form, "monitorPortList", "COM5");
    Button(form, "okButton")->click();
  });
  ::unsetenv("VELLUMA_PORTS");
  EXPECT_EQ(settings.ReadStringSetting("MonitorPort"), "COM5");
  std::string reply;
  EXPECT_EQ(test::StationSeam(window->TheStation()).Link()->Query("QID", reply), 3);
  EXPECT_EQ(other.Log(), (std::vector<std::string>{"MCO:1", "QID", "MCO:0"}));
#endif
}

TEST_F(PropertyDialogTest, TheVersionDialog) {
  auto window = Start();
  ASSERT_TRUE(test::WhileDialogShows<AboutDialog>(*window, "versionAction", [](AboutDialog& box) {
    EXPECT_EQ(box.windowTitle(), "Version information");
    EXPECT_EQ(Named<QLabel>(box, "productName")->text(), "Velluma");
    EXPECT_EQ(Named<QLabel>(box, "versionLabel")->text(), "Version 1.0");
    auto* ok = Named<QPushButton>(box, "okButton");
    EXPECT_TRUE(ok->isDefault());
    ok->click();
    EXPECT_FALSE(box.isVisible());
  }));
}

}  // namespace
}  // namespace velluma
