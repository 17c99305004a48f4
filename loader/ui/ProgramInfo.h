#pragma once
// The program's name, maker, version and build as the window and About box show them, and
// its icon.

#include <QIcon>
#include <QString>

namespace loader::ui {

QString programName();
QString programMaker();
QString programVersion();
QString programBuild();
// "bootloader - Tessaly tools 1.0.0 (build 1a2b3c4)": the window's caption.
QString programTitle();
// The installed icon (a chip receiving firmware), or the one compiled in.
QIcon programIcon();

}  // namespace loader::ui
