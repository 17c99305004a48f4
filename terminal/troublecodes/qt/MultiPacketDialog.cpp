#include "terminal/troublecodes/qt/MultiPacketDialog.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <array>

#include "terminal/recording/qt/ClipboardCopy.h"

namespace terminal::ui {

namespace {

using platform::ControlKind;
using platform::ControlRow;
namespace flags = platform::flags;

constexpr unsigned listStyle =
    flags::readOnly | flags::multiLine | flags::rightAligned | flags::verticalScroll;

struct MultiPacketTemplate {
    const char* title;
    int width;
    int height;
    int listId;
    std::array<ControlRow, 4> rows;
};

// Template 130: the engine's DM1 list.
const MultiPacketTemplate engineDm1Template{
    "Vell Eng DM1 Multi-Packet",
    140,
    300,
    1048,
    {{
        {0, ControlKind::groupBox, "Engine DM1 Multi-Packet", 23, 10, 94, 264},
        {0, ControlKind::label, "SPN  FMI  OC  CM", 40, 19, 60, 8},
        {1048, ControlKind::edit, "", 29, 28, 82, 241, listStyle},
        {1, ControlKind::pushButton, "OK", 44, 277, 50, 14, flags::defaultButton},
    }},
};

// Template 132: the engine's DM2 list.
const MultiPacketTemplate engineDm2Template{
    "Vell Engine DM2 Multi-Packet",
    149,
    161,
    1049,
    {{
        {0, ControlKind::groupBox, "Engine DM2 Multi-Packet", 27, 16, 94, 119},
        {0, ControlKind::label, "SPN  FMI  OC  CM", 44, 28, 60, 8},
        {1049, ControlKind::edit, "", 33, 39, 82, 88, listStyle},
        {1, ControlKind::pushButton, "OK", 49, 143, 50, 14, flags::defaultButton},
    }},
};

// The widest row of either list (the wide layout), which must fit the box unwrapped.
constexpr const char* widestRow = "1172     0      1     0";

}  // namespace

MultiPacketDialog::MultiPacketDialog(List list, QWidget* parent) : QDialog(parent) {
    const MultiPacketTemplate& layout =
        list == List::engineDm1 ? engineDm1Template : engineDm2Template;
    platform::DialogLayout units;
    units.sizeWindow(this, layout.width, layout.height);
    setWindowTitle(QString::fromUtf8(layout.title));
    controls_ = units.build(this, layout.rows);
    listBox_ = controls_.get<QPlainTextEdit>(layout.listId);
    listBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
    listBox_->document()->setDocumentMargin(2);
    fitListFont();
    makeTroubleCodeCopyable(listBox_, [this] { return troubleCodesOfRows(listText_); });
    connect(controls_.get<QPushButton>(1), &QPushButton::clicked, this, &QDialog::accept);
    platform::DialogLayout::makeRoomForTitle(this);
}

// A fixed-pitch font keeps the four columns under each other; it is made as large as the box
// allows for the widest row, so no row wraps or needs a sideways scroll.
void MultiPacketDialog::fitListFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const qreal room = listBox_->width() - 2 * listBox_->frameWidth() -
                       listBox_->verticalScrollBar()->sizeHint().width() -
                       2 * listBox_->document()->documentMargin() - 2;
    for (int pixels = 13; pixels >= 7; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).horizontalAdvance(QString::fromLatin1(widestRow)) <= room) {
            break;
        }
    }
    listBox_->setFont(font);
}

void MultiPacketDialog::showList(const std::string& text) {
    setListText(text);
    exec();
}

void MultiPacketDialog::showEvent(QShowEvent* event) {
    // The stored rows end with CR LF; the box breaks lines at LF alone.
    QString shown = QString::fromStdString(listText_);
    shown.remove('\r');
    listBox_->setPlainText(shown);
    listBox_->moveCursor(QTextCursor::Start);
    QDialog::showEvent(event);
}

}  // namespace terminal::ui
