#pragma once

#include "calibration/Dialogs.h"
#include "calibration/StatusView.h"
#include "calibration/Views.h"

namespace velluma {

// The station's way to the person and the window, in the three roles its procedures use: the
// questions and boxes (Dialogs), what a running procedure shows (StatusView) and the views and
// choices (Views). The main window implements all three with its widgets, the tests with a
// script, the command line with the console; a procedure is given only the roles it uses.
class Operator : public Dialogs, public StatusView, public Views {};

}  // namespace velluma
