#pragma once

#include <string>

#include "history/HistoryStore.h"

namespace velluma::test {

// Five weeks of a monitor's runs from 2026-11-01 on: AUTO every third day with the backlight
// slowly fading between calibrations, a verification every week whose grey ΔE2000 grows with the
// drift, a LUT sent into USER2 every fifth day, and a refused transfer; 24 records in all.
void WriteSampleHistory(history::HistoryStore& store);

}  // namespace velluma::test
