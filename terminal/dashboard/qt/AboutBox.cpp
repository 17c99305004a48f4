#include "terminal/dashboard/qt/AboutBox.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <array>
#include <string_view>

#include "terminal/dashboard/qt/NarrowToFit.h"
#include "terminal/dashboard/qt/ProgramVersion.h"
#include "terminal/protocol/WireCodes.h"

namespace terminal::ui {

namespace {

const QString programName = QStringLiteral("Tessaly");

using platform::ControlKind;
using platform::ControlRow;
namespace flags = platform::flags;

// The rate list, in this order; it is not sorted.
constexpr std::array<std::string_view, 5> rateList{wire::rateText250k, wire::rateText500k,
                                                   wire::rateText62k5, wire::rateText125k,
                                                   wire::rateText1m};

// The fixed part of template 100; the icon and the program's name and version are added
// in front of it when the box is built.
const std::array<ControlRow, 8> aboutRows{{
    {aboutIds::ok, ControlKind::pushButton, "OK", 261, 7, 41, 14, flags::defaultButton},
    {0, ControlKind::label, "Copyright (C) Vellworks. All rights reserved.", 40, 24, 228, 8},
    {0, ControlKind::label, "Contact: Vellworks, J1939 simulator support", 40, 36, 216, 8},
    {0, ControlKind::label, "Built with Qt 6 for Linux", 40, 48, 177, 8},
    {0, ControlKind::groupBox, "Change J1939 CAN Baud Rate ", 23, 67, 263, 78},
    {0, ControlKind::label,
     "Note 1: To simulate vehicle and engine Before 2016 model year: use 250K, ", 37, 79, 239, 8},
    {0, ControlKind::label, "Note 2: For 2016 and later model year: use either 500K or 250K, ", 37,
     89, 204, 8},
    {aboutIds::proceedButton, ControlKind::pushButton, "Proceed to &Change CAN Baud Rate", 50, 103,
     210, 13},
}};

const std::array<ControlRow, 2> rateRows{{
    {aboutIds::rateBox, ControlKind::editableCombo, "", 33, 128, 105, 86, flags::disabled},
    {aboutIds::confirmButton, ControlKind::pushButton, "C&onfirm Update CAN Baud Rate", 152, 127,
     125, 13, flags::disabled},
}};

}  // namespace

const char* const AboutBox::notAllowedMessage =
    "To change the J1939 CAN bus baud rate, An Vell J1939 simulator device (with Firmware "
    "0.2D/0.2E/0.2F) must be connected to the conputer. If connected, the simulator must have "
    "a correct firmware of 0.2D/0.2E/0.2F, please contact Vellworks and upgrade the simulator "
    "device to the correct fimware edition.";

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    buildControls();
    connect(controls_.get<QPushButton>(aboutIds::ok), &QPushButton::clicked, this, &AboutBox::ok);
    connect(controls_.get<QPushButton>(aboutIds::proceedButton), &QPushButton::clicked, this,
            &AboutBox::proceed);
    connect(controls_.get<QPushButton>(aboutIds::confirmButton), &QPushButton::clicked, this,
            &AboutBox::confirm);
}

void AboutBox::buildControls() {
    setWindowTitle(QStringLiteral("About %1 %2").arg(programName, programVersion()));

    platform::DialogLayout layout;
    layout.sizeWindow(this, width, height);

    auto* icon = new QLabel(this);
    const QRect iconRect = layout.toPixels(11, 17, 20, 20);
    QIcon programIcon = QApplication::windowIcon();
    if (programIcon.isNull()) {
        programIcon = style()->standardIcon(QStyle::SP_ComputerIcon);
    }
    icon->setPixmap(programIcon.pixmap(iconRect.size()));
    icon->setGeometry(iconRect);

    auto* nameLine = new QLabel(QStringLiteral("%1 Version %2 (build %3)")
                                    .arg(programName, programVersion(), programBuild()),
                                this);
    nameLine->setTextFormat(Qt::PlainText);
    nameLine->setGeometry(layout.toPixels(40, 13, 152, 8));

    layout.build(this, aboutRows, controls_);
    layout.build(this, rateRows, controls_);
    // Filled in table order before the box is given a rate; never sorted.
    QComboBox* rates = rateBox();
    for (std::string_view text : rateList) {
        rates->addItem(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    }
    rates->setMaxVisibleItems(static_cast<int>(rateList.size()));
    narrowLabelsToFit(this);
}

QComboBox* AboutBox::rateBox() const {
    return controls_.get<QComboBox>(aboutIds::rateBox);
}

void AboutBox::showEvent(QShowEvent* event) {
    confirmed_ = false;
    selectRateText();
    QDialog::showEvent(event);
}

// The first entry that begins with the text, ignoring case; otherwise the text itself. With no
// text (no change allowed) the field stays empty.
void AboutBox::selectRateText() {
    QComboBox* rates = rateBox();
    if (!rateText_.isEmpty()) {
        for (int i = 0; i < rates->count(); ++i) {
            if (rates->itemText(i).startsWith(rateText_, Qt::CaseInsensitive)) {
                rates->setCurrentIndex(i);
                return;
            }
        }
    }
    rates->setCurrentIndex(-1);
    rates->setEditText(rateText_);
}

void AboutBox::proceed() {
    if (changeAllowed_) {
        rateBox()->setEnabled(true);
        controls_.widget(aboutIds::confirmButton)->setEnabled(true);
        return;
    }
    QMessageBox::warning(this, programName, QString::fromLatin1(notAllowedMessage));
}

void AboutBox::confirm() {
    confirmed_ = true;
    closeWithOk();
}

void AboutBox::ok() {
    closeWithOk();
}

void AboutBox::closeWithOk() {
    rateText_ = rateBox()->currentText();
    accept();
}

}  // namespace terminal::ui
