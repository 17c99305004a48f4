#pragma once
// Maps the level slider's notifications onto the two handlers of the level: a left-button
// press, a key press and the start of a wheel change take hold of it (grab); any button's
// release, a key's release, the end of a wheel change and a lost hold let go (chosen).

#include <functional>

namespace platform {
class CiSliderX;
}
class QObject;

namespace terminal::ui {

// Bit 0 of the slider's button argument: the left button.
inline constexpr int leftButtonBit = 0x1;

void wireLevelSlider(platform::CiSliderX& slider, QObject* context, std::function<void()> grab,
                     std::function<void()> chosen);

}  // namespace terminal::ui
