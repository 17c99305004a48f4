#pragma once
// The dashboard in text: the CSV recording's header and rows, and what the window copies to
// the clipboard. Names come from ExportNames, so the CSV, the clipboard and the headless
// event stream call every value the same.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "terminal/core/DashboardState.h"
#include "terminal/core/VehicleSnapshot.h"

namespace terminal {

// ISO 8601 local time with milliseconds and the offset from UTC:
// "2025-03-14T09:26:53.589+01:00".
std::string localTimeText(std::chrono::system_clock::time_point when);

// time, link, level, the 27 values "caption [unit]", the 27 lamps, the four trouble-code boxes.
std::vector<std::string> dashboardCsvHeader();
// The same columns for one moment; lamps 0 or 1, trouble-code rows without their line end.
std::vector<std::string> dashboardCsvRow(const std::string& time, const VehicleSnapshot& shown,
                                         const DashboardState& panel);

// "Copy all values": one "caption<TAB>value<TAB>unit" line per engine value, then one
// "name<TAB>lit" line per lamp that is lit.
std::string allValuesText(const VehicleSnapshot& shown);

// A trouble-code box or list for the clipboard: the caption "SPN  FMI  OC  CM", then each row
// on its own line, every line ended by LF.
std::string troubleCodeText(std::string_view rows);

}  // namespace terminal
