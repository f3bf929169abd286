#pragma once

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace velluma {

// Every table's rows are this many pixels high; a table sized to its rows counts with it.
constexpr int kGridRowHeight = 20;

// A table of `model` without headers (the models carry their own header row and column), its
// columns sharing the width, at least `width` × `height` pixels; a cell is edited by a double
// click or by typing into it.
QTableView* MakeGridView(QAbstractItemModel* model, QWidget* parent, int width, int height);

}  // namespace velluma
