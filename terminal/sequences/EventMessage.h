#pragma once
// What a step's command was answered with: the text of a headless error event, so a refused
// command fails its step in the program's own words.

#include <string>

namespace terminal::sequences {

// The "message" of an error event line; the whole line when it has none.
std::string eventMessage(const std::string& event);
// True for an error event line.
bool isErrorEvent(const std::string& event);

}  // namespace terminal::sequences
