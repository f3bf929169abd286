#pragma once

#include "calibration/ShownBox.h"

namespace velluma::cli {
using ::velluma::ShownBox;
}  // namespace velluma::cli
