#pragma once

#include "app/MemoryTableTab.h"
#include "calibration/HeldData.h"

namespace velluma {

// The "LookUpTable" tab: the R, G and B columns of a memory's LUT, 4096 entries, and the send
// controls (controls named "lutTable", "lutMemoryList", "lutSendButton").
class LookUpTableTab : public MemoryTableTab {
  Q_OBJECT

 public:
  explicit LookUpTableTab(QWidget* parent = nullptr);

  void ShowTable(const UserMemoryTables::LutTable& table);
};

}  // namespace velluma
