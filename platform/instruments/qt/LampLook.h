#pragma once

#include <QColor>

namespace platform {

// Colour choices shared by the painted lamps.
namespace lampLook {

// Black or white, whichever reads better on the given fill.
QColor textColorOn(const QColor& fill);

// The fill's highlight and shadow shades for a lamp's glassy gradient.
QColor highlightOf(const QColor& fill);
QColor shadowOf(const QColor& fill);

}  // namespace lampLook

}  // namespace platform
