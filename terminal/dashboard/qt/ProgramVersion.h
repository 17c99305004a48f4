#pragma once
// The program's version and build, as the build set them (the build is the commit), and its
// icon.

#include <QIcon>
#include <QString>

namespace terminal::ui {

QString programVersion();
QString programBuild();
// "Tessaly <version> (build <build>)": the window's title.
QString programTitle();
// The installed icon (an instrument dial), or the one compiled in.
QIcon programIcon();

}  // namespace terminal::ui
