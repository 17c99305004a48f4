#include "terminal/ui/ProgramVersion.h"

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

}  // namespace terminal::ui
