#pragma once

#include <string>

namespace velluma {

// The value of the environment variable `name` as UTF-8 (read wide on Windows, so a folder in any
// script comes through); empty when it is unset.
std::string EnvironmentValue(const std::string& name);

// The folder where the station keeps what must outlive a run: $XDG_STATE_HOME/Quillem/Velluma
// (by default ~/.local/state/Quillem/Velluma) on POSIX, %LOCALAPPDATA%\Quillem\Velluma\state on
// Windows. Not made here.
std::string StationStateFolder();

// The folder where the operator's own data is kept: $XDG_DATA_HOME/Quillem/Velluma (by default
// ~/.local/share/Quillem/Velluma) on POSIX, %LOCALAPPDATA%\Quillem\Velluma on Windows. Not made
// here.
std::string OperatorDataFolder();

}  // namespace velluma
