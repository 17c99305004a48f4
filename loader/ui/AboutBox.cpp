#include "loader/ui/AboutBox.h"

#include <QLabel>
#include <QPushButton>

#include "loader/core/LoaderIds.h"
#include "loader/ui/LoaderLayout.h"
#include "loader/ui/ProgramInfo.h"

namespace loader::ui {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About %1 - %2").arg(programName(), programMaker()));
    setWindowIcon(programIcon());
    platform::DialogLayout layout;
    layout.sizeWindow(this, aboutWidth, aboutHeight);
    layout.build(this, aboutControls(), controls_);

    auto* icon = new QLabel(this);
    const QRect place = layout.toPixels(aboutIconX, aboutIconY, aboutIconSize, aboutIconSize);
    icon->setGeometry(place);
    icon->setPixmap(programIcon().pixmap(place.size()));

    connect(controls_.get<QPushButton>(ids::exitButton), &QPushButton::clicked, this,
            &QDialog::accept);
}

}  // namespace loader::ui
