#pragma once

#include <QVariant>

namespace velluma {

// How a grid cell looks for the roles other than its text: fixed cells in the button-face
// colour, numbers right-aligned as their formats pad them.
QVariant GridCellStyle(int role, bool fixed);

}  // namespace velluma
