#include "platform/qt/InstrumentAccessibility.h"

#include <QAccessible>

#include "platform/qt/CiAnalogDisplayX.h"
#include "platform/qt/CiAnalogDisplayXAccessible.h"
#include "platform/qt/CiLedRectangleX.h"
#include "platform/qt/CiLedRoundX.h"
#include "platform/qt/CiSliderX.h"
#include "platform/qt/CiSliderXAccessible.h"
#include "platform/qt/LampAccessible.h"

namespace platform {

namespace {

// Asked by Qt once per object, with the class names of the object's class and of its bases.
QAccessibleInterface* instrumentInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(CiAnalogDisplayX::staticMetaObject.className())) {
        return new CiAnalogDisplayXAccessible(static_cast<CiAnalogDisplayX*>(object));
    }
    if (className == QLatin1String(CiLedRectangleX::staticMetaObject.className()) ||
        className == QLatin1String(CiLedRoundX::staticMetaObject.className())) {
        return new LampAccessible(static_cast<QWidget*>(object));
    }
    if (className == QLatin1String(CiSliderX::staticMetaObject.className())) {
        return new CiSliderXAccessible(static_cast<CiSliderX*>(object));
    }
    return nullptr;
}

}  // namespace

void installInstrumentAccessibility() {
    QAccessible::installFactory(instrumentInterface);  // Qt keeps one entry per factory
}

}  // namespace platform
