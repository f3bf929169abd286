#include "app/AboutUnit.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ToolBarImages.h"

namespace velluma {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Version information");
  setFixedSize(306, 194);
  auto* layout = new QVBoxLayout(this);
  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* panelLayout = new QHBoxLayout(panel);
  ProgramIcon = new QLabel(panel);
  ProgramIcon->setPixmap(ApplicationIcon().pixmap(32, 32));
  ProgramIcon->setFixedSize(32, 32);
  panelLayout->addWidget(ProgramIcon, 0, Qt::AlignTop);
  auto* texts = new QVBoxLayout;
  ProductName = new QLabel(panel);
  ProductName->setText("Velluma");
  QFont bold = ProductName->font();
  bold.setBold(true);
  ProductName->setFont(bold);
  Version = new QLabel("Version 1.0", panel);
  texts->addWidget(ProductName);
  texts->addWidget(Version);
  texts->addStretch(1);
  panelLayout->addLayout(texts, 1);
  layout->addWidget(panel, 1);
  OKButton = new QPushButton("OK", this);
  OKButton->setDefault(true);
  layout->addWidget(OKButton, 0, Qt::AlignHCenter);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace velluma
