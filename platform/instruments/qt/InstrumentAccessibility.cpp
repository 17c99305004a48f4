#include "platform/instruments/qt/InstrumentAccessibility.h"

#include <QAccessible>

#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "platform/instruments/qt/CiAnalogDisplayXAccessible.h"
#include "platform/instruments/qt/CiLamp.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "platform/instruments/qt/CiSliderXAccessible.h"
#include "platform/instruments/qt/LampAccessible.h"

namespace platform {

namespace {

// Asked by Qt once per object, with the class names of the object's class and of its bases.
QAccessibleInterface* instrumentInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(CiAnalogDisplayX::staticMetaObject.className())) {
        return new CiAnalogDisplayXAccessible(static_cast<CiAnalogDisplayX*>(object));
    }
    if (className == QLatin1String(CiLamp::staticMetaObject.className())) {
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
