#pragma once
// The lit colour of a dashboard lamp; every lamp is black when dark.

namespace terminal {

// `standard` is the lamp widget's own default colour; amber is red 255, green 128, blue 0.
enum class LampColour { standard, red, amber, yellow };

}  // namespace terminal
