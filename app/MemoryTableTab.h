#pragma once

#include <QWidget>
#include <string>

#include "app/NumberGridModel.h"

class QComboBox;
class QHBoxLayout;
class QPushButton;

namespace velluma {

// A tab that shows the table of one user memory and sends it there: the grid of the memory
// chosen in its "Send to" list, and the list's Start button. The LookUpTable and Film Gamma tabs
// are two of them. Its controls are named `name` + "Table", "MemoryList" and "SendButton".
class MemoryTableTab : public QWidget {
  Q_OBJECT

 public:
  // The memory chosen in the list: 0..2 for USER1..USER3, as the station numbers them.
  int Memory() const;
  std::string MemoryName() const;
  // Chooses the memory named `name`; a name the list does not hold leaves the choice.
  void SelectMemory(const std::string& name);
  // Start and the list, in this order, usable or not (not while a procedure runs).
  void SetUsable(bool usable);

 signals:
  void SendRequested();
  // The operator chose a memory in the list (a choice the program makes is not reported).
  void MemoryChosen();

 protected:
  // The grid shows `entries` rows of values under `headers`, formatted with `valueFormat`.
  MemoryTableTab(const QString& name, QStringList headers, const char* valueFormat, int entries,
                 int gridWidth, QWidget* parent);

  NumberGridModel& Table() { return *table_; }
  // The tab's row: the grid, then the send controls; a tab adds what follows them.
  QHBoxLayout& Row() { return *row_; }

 private:
  NumberGridModel* table_ = nullptr;
  QHBoxLayout* row_ = nullptr;
  QComboBox* memoryList_ = nullptr;
  QPushButton* sendButton_ = nullptr;
};

}  // namespace velluma
