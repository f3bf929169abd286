#include "app/AboutDialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ToolBarImages.h"

namespace velluma {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Version information");
  setFixedSize(306, 194);
  auto* layout = new QVBoxLayout(this);
  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* panelLayout = new QHBoxLayout(panel);
  auto* programIcon = new QLabel(panel);
  programIcon->setObjectName("programIcon");
  programIcon->setPixmap(ApplicationIcon().pixmap(32, 32));
  programIcon->setFixedSize(32, 32);
  panelLayout->addWidget(programIcon, 0, Qt::AlignTop);
  auto* texts = new QVBoxLayout;
  auto* productName = new QLabel(panel);
  productName->setObjectName("productName");
  productName->setText("Velluma");
  QFont bold = productName->font();
  bold.setBold(true);
  productName->setFont(bold);
  auto* version = new QLabel("Version 1.0", panel);
  version->setObjectName("versionLabel");
  texts->addWidget(productName);
  texts->addWidget(version);
  texts->addStretch(1);
  panelLayout->addLayout(texts, 1);
  layout->addWidget(panel, 1);
  auto* okButton = new QPushButton("OK", this);
  okButton->setObjectName("okButton");
  okButton->setDefault(true);
  layout->addWidget(okButton, 0, Qt::AlignHCenter);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace velluma
