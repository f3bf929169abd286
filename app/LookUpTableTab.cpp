#include "app/LookUpTableTab.h"

#include <QHBoxLayout>

namespace velluma {

LookUpTableTab::LookUpTableTab(QWidget* parent)
    : MemoryTableTab("lut", {"", "      R", "      G", "      B"}, "%d",
                     UserMemoryTables::kLutEntries, 281, parent) {
  Row().addStretch(1);
}

void LookUpTableTab::ShowTable(const UserMemoryTables::LutTable& table) {
  std::vector<std::vector<std::int32_t>> columns;
  for (const auto& channel : table) columns.emplace_back(channel.begin(), channel.end());
  Table().Fill(std::move(columns));
}

}  // namespace velluma
