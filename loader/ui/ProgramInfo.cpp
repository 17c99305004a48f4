#include "loader/ui/ProgramInfo.h"

#include "platform/app/qt/ProgramIcon.h"

namespace loader::ui {

QString programName() {
    return QStringLiteral("bootloader");
}

QString programMaker() {
    return QStringLiteral("Tessaly tools");
}

QString programVersion() {
    return QStringLiteral(TESSALY_VERSION);
}

QString programBuild() {
    return QStringLiteral(TESSALY_BUILD);
}

QString programTitle() {
    return QStringLiteral("%1 - %2 %3 (build %4)")
        .arg(programName(), programMaker(), programVersion(), programBuild());
}

QIcon programIcon() {
    return platform::programIcon(QStringLiteral("bootloader"));
}

}  // namespace loader::ui
