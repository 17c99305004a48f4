#pragma once

// Makes the instrument widgets (numeric display, lamps, slider) readable and operable through
// the accessibility layer. Each program calls it once at start-up, after creating its
// application object; calling it again changes nothing.
namespace platform {

void installInstrumentAccessibility();

}  // namespace platform
