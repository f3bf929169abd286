#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "calibration/CalibrationData.h"
#include "calibration/Operator.h"
#include "instruments/Analyzer.h"
#include "instruments/Analyzer2.h"
#include "instruments/Analyzer3.h"
#include "instruments/AnalyzerFront.h"
#include "instruments/InstrumentModel.h"
#include "monitor/LCD.h"
#include "monitor/UserMemoryTables.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"

namespace velluma {

// Everything that lives for the whole run: the monitor link, the instrument drivers, the
// calibration data, the user-memory tables and the flags that say what there is to send. The
// procedures are its methods; they reach the person and the window only through the Operator.
class Station {
 public:
  static constexpr const char* kModelName = "QX-7MR520";
  static constexpr const char* kUntitled = "Untitled.txt";

  Station(Operator& op, SettingsStore& settings, Clock& clock);
  ~Station();
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  // Settings: never cached; failures are RegistryError for the top-level handler.
  std::string ReadSetting(const setting::Text& setting) const { return settings.Read(setting); }
  std::int32_t ReadSetting(const setting::Number& setting) const { return settings.Read(setting); }
  void WriteSetting(const setting::Text& setting, const std::string& value) {
    settings.Write(setting, value);
  }
  void LoadSettings();

  // Start-up after the window has emptied its model label.
  void FormCreate();

  // The instrument driver of the configured model, and the monitor link, as at start-up.
  void CreateDevices();
  // Ends the monitor session and deletes every device object.
  void DestroyDevices();

  // The analyzer front: every operation reads "AnalizerModel" anew.
  InstrumentResult AnalyzerBeginRemote() { return front_.AnalyzerBeginRemote(); }
  InstrumentResult AnalyzerEndRemote() { return front_.AnalyzerEndRemote(); }
  InstrumentResult AnalyzerZeroCalibrate() { return front_.AnalyzerZeroCalibrate(); }
  InstrumentResult AnalyzerMeasure(double& x, double& y, double& Y) {
    return front_.AnalyzerMeasure(x, y, Y);
  }
  // The text of a result, named by the instrument that produced it.
  static std::string AnalyzerErrorText(const InstrumentResult& result) {
    return result.ErrorText();
  }

  // The offset edits lost the focus.
  void AnalyzerOffsetCxEditChange() { CheckOffsetEdit(0); }
  void AnalyzerOffsetCyEditChange() { CheckOffsetEdit(1); }

  // Creates CaAnalyzer for a "CA-210" (kind 1) or "CA-310" (kind 2) when there is none.
  void CreateCaAnalyzer();
  // 0-CAL.: prepares the configured instrument.
  void ZeroCalButtonClick();
  // 1 when the caller may go on measuring, 0 when it must stop.
  int InstrumentCalibration();

  // One patch: shown, measured, the offsets added, displayed. False after a failure, which it has
  // reported under `caption`; `result` is written only on success.
  bool MeasurePatch(int red, int green, int blue, const std::string& patchName,
                    const std::string& caption, XyYValue& result);
  // The primaries and the 256 grey levels measured and written into the monitor.
  bool MeasureSequence();
  // AUTO.
  void AutoButtonClick();
  // The i1-Pro made ready to measure the monitor: calibrated on its plate (0-CAL.'s procedure),
  // the operator's word that it is on the screen, the measurement options set. False when the
  // operator or the instrument stops it (shown as it happens).
  bool PrepareI1ForMeasuring();
  // The grey table zeroed for a new data set without a file name (".txt").
  void FileNewExecute();

  // The calibration data file.
  bool FileSaveProcWB(const std::string& path);
  int FileOpenProcWB(const std::string& path);
  void FileSaveExecute();
  void FileSaveAsExecute();

  // Property: every device closed before the settings dialog, made again from the new settings
  // after it, however it closed.
  void FilePropertyExecute();

  // The operator asked to exit: true when the program is to end.
  bool FileExitExecute();

  // After the operator switched function tabs.
  void FuncPageControlChange(int newTab);

  // Open, and files dropped on the window (only the first is opened): the file goes to the
  // loader of the active tab.
  void FileOpenExecute();
  void DropFiles(const std::vector<std::string>& paths);
  // A LUT file (or, with "LUTFile" set, a table of the monitor's codes) into the LUT of the
  // selected memory: 0 loaded, 1 rejected (the table then as it was).
  int FileOpenProcLUT(const std::string& path);
  // What the last LUT load's diagnosis line does not say (the system's reason a file could not be
  // opened, the line at fault), empty when it loaded or there is nothing to add.
  const std::string& LutLoadCause() const { return lutLoadCause_; }
  // A film-gamma table file into the selected memory: 0 loaded, -1 not.
  int FileOpenProcFG(const std::string& path);

  // The transfers to the monitor: PC -> MONITOR and the two Start buttons.
  void DownloadButtonClick();
  void LUTStartButtonClick();
  void FilmGammaStartButtonClick();

  // Marks a procedure as running for as long as it lives: the commands that would replace the
  // devices or the data under it (Exit, Property, Open, dropped files) do not act meanwhile.
  class ProcedureScope {
   public:
    explicit ProcedureScope(Station& station);
    ~ProcedureScope();
    ProcedureScope(const ProcedureScope&) = delete;
    ProcedureScope& operator=(const ProcedureScope&) = delete;

   private:
    Station& station_;
    bool outer_;
  };
  // A value typed into a cell of the "Yxy Table" or "LCD Color" grid: column 1 x, 2 y, 3 Y of
  // the grey level or primary of that row. ConvertError when the text is not a number.
  void YxyStringGridSetEditText(int column, int row, const std::string& text);
  void ColorStringGridSetEditText(int column, int row, const std::string& text);

  bool ProcedureRunning() const { return procedureRunning_; }

  Operator& op;
  SettingsStore& settings;
  Clock& clock;

  // The CA-SDK server the CA driver is made on: the process's own unless a test gives another.
  CaServer* caServer = &CaServer::Process();

  std::unique_ptr<LCD> Lcd;
  std::unique_ptr<Analyzer> CaAnalyzer;
  std::unique_ptr<Analyzer2> I1Analyzer;
  std::unique_ptr<Analyzer3> PrAnalyzer;
  ::velluma::CalibrationData CalibrationData;

  int CalibrationDataReady = 0;
  std::array<int, 3> LutLoaded{};
  std::array<int, 3> FilmGammaLoaded{};
  std::array<std::string, 3> TabFileNames{};
  int PreviousTab = 0;
  UserMemoryTables Tables;

  // Status-bar panel 1 as last painted, in pixels; all zero until it first paints.
  struct Rect {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  };
  Rect ProgressRect;

 private:
  // How a patch measurement ended; a monitor that fell silent (or a port that failed) is told
  // apart, since nothing more should then be sent to it.
  enum class PatchOutcome { Measured, Failed, MonitorSilent };
  // How the measurement sequence ended: every patch measured and written, every patch measured
  // but a write into the monitor refused, or stopped before every patch was measured.
  enum class SequenceOutcome { Complete, MeasuredNotWritten, Incomplete };
  static constexpr int kLinkFailed = -1;  // the link's code for a time-out or a failed port

  PatchOutcome ShowAndMeasure(int red, int green, int blue, const std::string& patchName,
                              const std::string& caption, XyYValue& result);
  SequenceOutcome RunMeasureSequence();
  bool MeasuredValuesFit(std::span<const XyYValue> values,
                         const std::function<std::string(std::size_t)>& patchName);
  void CreateAnalyzer();
  const InstrumentModel& ConfiguredInstrument() const;
  void CreateLcd();
  void UseUnconnectedLink();
  LinkEnvironment MakeLinkEnvironment();
  void CheckOffsetEdit(int axis);
  int CalibrateI1();
  int CalibrateInRemoteMode();
  bool MeasurePrimaries();
  bool MeasureGreyRamp();
  bool WriteGreyRamps();
  bool CheckMonitorModel(std::string& model);
  PatchOutcome MeasureWhiteAndBlack(XyYValue& white);
  void MeasureSaveAndReport(const std::string& path);
  void EndAutoAtNormalBrightness();
  bool GreyLevelsInWindow();
  void ReportAuto(bool measured, bool checkFailed);
  std::string OpenFilter() const;
  void OpenByActiveTab(const std::string& path);
  // False when a calibration data file could not be opened (nothing changed then).
  bool LoadByActiveTab(const std::string& path);
  int SendCalibrationData();
  void ReportTransfer(int result);

  AnalyzerFront front_;

  bool procedureRunning_ = false;
  std::string lutLoadCause_;
};

}  // namespace velluma
