#include "terminal/dashboard/qt/ProgramVersion.h"

#include "platform/app/qt/ProgramIcon.h"

namespace terminal::ui {

QString programVersion() {
    return QStringLiteral(TESSALY_VERSION);
}

QString programBuild() {
    return QStringLiteral(TESSALY_BUILD);
}

QString programTitle() {
    return QStringLiteral("Tessaly %1 (build %2)").arg(programVersion(), programBuild());
}

QIcon programIcon() {
    return platform::programIcon(QStringLiteral("tessaly"));
}

}  // namespace terminal::ui
