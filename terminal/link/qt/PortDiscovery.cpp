#include "terminal/link/qt/PortDiscovery.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

#include "platform/serial/PortMap.h"

namespace terminal::ui {

namespace {

// A /dev/serial/by-id/ name or a port-map link leads to the device the system lists.
QString canonical(const QString& devicePath) {
    const QString target = QFileInfo(devicePath).canonicalFilePath();
    return target.isEmpty() ? devicePath : target;
}

}  // namespace

QString deviceDescription(const QString& devicePath) {
    if (devicePath.isEmpty()) {
        return {};
    }
    const QString device = canonical(devicePath);
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (canonical(info.systemLocation()) != device) {
            continue;
        }
        QStringList parts;
        // The maker is often repeated at the start of the product name; say it once.
        const QString maker = info.manufacturer().trimmed();
        const QString product = info.description().trimmed();
        if (!maker.isEmpty() && !product.startsWith(maker, Qt::CaseInsensitive)) {
            parts << maker;
        }
        if (!product.isEmpty()) {
            parts << product;
        }
        if (!info.serialNumber().trimmed().isEmpty()) {
            parts << info.serialNumber().trimmed();
        }
        return parts.join(QLatin1Char(' '));
    }
    return {};
}

QString deviceSummary(const QString& devicePath) {
    const QString description = deviceDescription(devicePath);
    return description.isEmpty() ? devicePath : devicePath + QStringLiteral(", ") + description;
}

QString portReach(int portNumber) {
    const platform::ComPortMapping mapping = platform::PortMap().map(portNumber);
    if (mapping.source == platform::ComPortMapping::Source::none) {
        return QStringLiteral("no device");
    }
    const QString device = QString::fromStdString(mapping.device);
    if (!QFileInfo::exists(device)) {
        return device + QStringLiteral(" (missing)");
    }
    return deviceSummary(device);
}

}  // namespace terminal::ui
