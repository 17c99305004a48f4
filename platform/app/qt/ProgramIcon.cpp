#include "platform/app/qt/ProgramIcon.h"

#include <QSize>

namespace platform {

QIcon programIcon(const QString& name) {
    // Rendered from data/<name>.svg at build time, as the installed hicolor sizes are.
    QIcon compiledIn;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        compiledIn.addFile(QStringLiteral(":/program-icons/%1/%2.png").arg(size).arg(name),
                           QSize(size, size));
    }
    return QIcon::fromTheme(name, compiledIn);
}

}  // namespace platform
