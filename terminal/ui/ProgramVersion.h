#pragma once
// The program's version and build, as the build set them (the build is the commit).

#include <QString>

namespace terminal::ui {

QString programVersion();
QString programBuild();
// "Tessaly <version> (build <build>)": the window's title.
QString programTitle();

}  // namespace terminal::ui
