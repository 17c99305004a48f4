#pragma once
// A program's own icon for its windows, task-bar entry and About box.

#include <QIcon>
#include <QString>

namespace platform {

// The icon `name` from the desktop's icon theme, where the installed hicolor icons are found;
// without it (run from the build folder, or a theme that lacks it) the PNGs compiled into the
// program. Neither way needs the SVG image plug-in.
QIcon programIcon(const QString& name);

}  // namespace platform
