#include "app/StatusPanels.h"

#include <QLabel>

#include "app/ProgressPanel.h"

namespace velluma {

StatusPanels::StatusPanels(QWidget* parent)
    : QStatusBar(parent),
      state_(new QLabel(this)),
      progress_(new ProgressPanel(this)),
      fileName_(new QLabel(this)) {
  state_->setObjectName("statePanel");
  state_->setFixedWidth(100);
  progress_->setObjectName("progressPanel");
  fileName_->setObjectName("fileNamePanel");
  fileName_->setMinimumWidth(50);
  for (QWidget* panel : std::initializer_list<QWidget*>{state_, progress_, fileName_})
    panel->setMinimumHeight(fontMetrics().height() + 4);  // the bar keeps its height when empty
  addWidget(state_);
  addWidget(progress_);
  addWidget(fileName_, 1);
  setSizeGripEnabled(false);
}

QLabel* StatusPanels::TextPanel(int panel) const {
  return panel == 0 ? state_ : panel == 2 ? fileName_ : nullptr;
}

void StatusPanels::SetText(int panel, const std::string& text) {
  if (QLabel* label = TextPanel(panel)) label->setText(QString::fromStdString(text));
}

std::string StatusPanels::Text(int panel) const {
  const QLabel* label = TextPanel(panel);
  return label ? label->text().toStdString() : std::string();
}

}  // namespace velluma
