#include "platform/instruments/qt/LampLook.h"

namespace platform {

namespace lampLook {

QColor textColorOn(const QColor& fill) {
    // Perceived brightness: green counts most, blue least.
    const double luma = 0.299 * fill.red() + 0.587 * fill.green() + 0.114 * fill.blue();
    return luma >= 128.0 ? QColor(Qt::black) : QColor(Qt::white);
}

QColor highlightOf(const QColor& fill) {
    // Mix towards white so that black and saturated colours both get a visible sheen.
    const auto mix = [](int c) { return c + (255 - c) * 45 / 100; };
    return QColor(mix(fill.red()), mix(fill.green()), mix(fill.blue()));
}

QColor shadowOf(const QColor& fill) {
    return QColor(fill.red() * 65 / 100, fill.green() * 65 / 100, fill.blue() * 65 / 100);
}

}  // namespace lampLook

}  // namespace platform
