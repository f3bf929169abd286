#pragma once

#include <QIcon>

namespace velluma {

// The tool-bar images by index: 0 new, 1 open, 2 save, 3 exit, 4 property; and the program's icon.
QIcon ToolBarImage(int index);
QIcon ApplicationIcon();

}  // namespace velluma
