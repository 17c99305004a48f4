#pragma once
// The dashboard in text: the CSV recording's header and rows, and what the window copies to
// the clipboard. Names come from ExportNames, so the CSV, the clipboard and the headless
// event stream call every value the same.

#include <chrono>
#include <string>
#include <vector>

#include "terminal/dashboard/VehicleSnapshot.h"
#include "terminal/troublecodes/TroubleCodeNumbers.h"

namespace terminal {

// ISO 8601 local time with milliseconds and the offset from UTC:
// "2025-03-14T09:26:53.589+01:00".
std::string localTimeText(std::chrono::system_clock::time_point when);

// time, link, level, the 27 values "caption [unit]", the 27 lamps, the four trouble-code boxes.
std::vector<std::string> dashboardCsvHeader();
// The same columns for one moment: the last status line's record (StatusRecord), lamps 0 or
// 1, each box's codes as troubleCodeCell gives them. Without readings (see VehicleSnapshot)
// only time and link are filled, every other cell is empty.
std::vector<std::string> dashboardCsvRow(const std::string& time, const VehicleSnapshot& shown);

// Codes as "SPN:FMI:OC:CM", separated by one space; empty for none: "110:0:1:0".
std::string troubleCodeCell(const std::vector<TroubleCode>& codes);

// Why `shown` holds no readings, naming the link's state ("the link is lost"); empty when it
// does.
std::string noReadingsReason(const VehicleSnapshot& shown);

// "Copy all values": one "caption<TAB>value<TAB>unit" line per engine value, then one
// "name<TAB>lit" line per lamp that is lit, both of the last status line's record. Without
// readings, only a line that says why.
std::string allValuesText(const VehicleSnapshot& shown);

// Trouble codes for the clipboard: the heading "SPN<TAB>FMI<TAB>OC<TAB>CM", then one line of
// four tab-separated numbers per code, every line ended by LF; a spreadsheet takes them as
// four columns.
std::string troubleCodeText(const std::vector<TroubleCode>& codes);

}  // namespace terminal
