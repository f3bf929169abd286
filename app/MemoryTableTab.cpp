#include "app/MemoryTableTab.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/GridView.h"
#include "calibration/StationSettings.h"

namespace velluma {

MemoryTableTab::MemoryTableTab(const QString& name, QStringList headers, const char* valueFormat,
                               int entries, int gridWidth, QWidget* parent)
    : QWidget(parent),
      table_(new NumberGridModel(std::move(headers), valueFormat, entries, this)),
      row_(new QHBoxLayout(this)) {
  row_->setContentsMargins(16, 3, 16, 3);
  QTableView* grid = MakeGridView(table_, this, gridWidth, 238);
  grid->setObjectName(name + "Table");
  row_->addWidget(grid);

  // "Send to", the memory list and its Start button, one above the other.
  auto* side = new QVBoxLayout;
  side->addWidget(new QLabel("Send to", this));
  memoryList_ = new QComboBox(this);
  memoryList_->setObjectName(name + "MemoryList");
  for (std::string_view memory : setting::kMemories)
    memoryList_->addItem(QString::fromUtf8(memory.data(), static_cast<qsizetype>(memory.size())));
  memoryList_->setCurrentIndex(0);
  side->addWidget(memoryList_);
  sendButton_ = new QPushButton("Start", this);
  sendButton_->setObjectName(name + "SendButton");
  side->addWidget(sendButton_);
  side->addStretch(1);
  row_->addLayout(side);

  connect(sendButton_, &QPushButton::clicked, this, &MemoryTableTab::SendRequested);
  connect(memoryList_, &QComboBox::activated, this, &MemoryTableTab::MemoryChosen);
}

int MemoryTableTab::Memory() const {
  return memoryList_->currentIndex();
}

std::string MemoryTableTab::MemoryName() const {
  return memoryList_->currentText().toStdString();
}

void MemoryTableTab::SelectMemory(const std::string& name) {
  const int index = memoryList_->findText(QString::fromStdString(name),
                                          Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) memoryList_->setCurrentIndex(index);
}

void MemoryTableTab::SetUsable(bool usable) {
  sendButton_->setEnabled(usable);
  memoryList_->setEnabled(usable);
}

}  // namespace velluma
