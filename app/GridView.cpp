#include "app/GridView.h"

#include <QHeaderView>
#include <QTableView>

namespace velluma {

QTableView* MakeGridView(QAbstractItemModel* model, QWidget* parent, int width, int height) {
  auto* grid = new QTableView(parent);
  // The headers are set up before the model comes: a header still shown when the model's rows
  // arrive measures the text of hundreds of them for its size, a few milliseconds of every start.
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->horizontalHeader()->setDefaultSectionSize(64);
  grid->setTextElideMode(Qt::ElideNone);
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  grid->setWordWrap(false);
  grid->setModel(model);
  grid->setMinimumSize(width, height);
  grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
  return grid;
}

}  // namespace velluma
