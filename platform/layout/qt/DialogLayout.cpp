#include "platform/layout/qt/DialogLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextOption>
#include <algorithm>

#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "platform/instruments/qt/CiLedRectangleX.h"
#include "platform/instruments/qt/CiLedRoundX.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "platform/layout/qt/ScaledStyle.h"

namespace platform {

void DialogControls::add(int id, QWidget* widget) {
    byId_[id] = widget;
}

QWidget* DialogControls::widget(int id) const {
    auto found = byId_.find(id);
    return found == byId_.end() ? nullptr : found->second;
}

QFont DialogLayout::dialogFont() {
    QFont font("Sans Serif", 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

DialogLayout::DialogLayout(const QFont& font) : font_(font) {
    static const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    charWidth_ = std::max<qreal>(1.0, QFontMetricsF(font_).horizontalAdvance(letters) / 52.0);
    charHeight_ = std::max(1, QFontMetrics(font_).height());
}

int DialogLayout::toPixelsX(int units) const {
    return qRound(units * charWidth_ * scale_ / 4.0);
}

int DialogLayout::toPixelsY(int units) const {
    return qRound(units * charHeight_ * scale_ / 8.0);
}

void DialogLayout::setScale(qreal scale) {
    scale_ = scale > 0 ? scale : 1.0;
}

QFont DialogLayout::scaledFont() const {
    QFont font = font_;
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * scale_);
    } else if (font.pixelSize() > 0) {
        font.setPixelSize(std::max(1, qRound(font.pixelSize() * scale_)));
    }
    return font;
}

qreal DialogLayout::closedComboUnits() const {
    if (closedComboUnits_ <= 0.0) {
        QComboBox probe;
        probe.setEditable(true);
        probe.setFont(font_);
        closedComboUnits_ = probe.sizeHint().height() * 8.0 / charHeight_;
    }
    return closedComboUnits_;
}

QRect DialogLayout::toPixels(int x, int y, int w, int h) const {
    // Edges rounded rather than sizes, so that controls side by side in units stay side by side
    // (neither overlapping nor apart) in pixels at any scale.
    const int left = toPixelsX(x);
    const int top = toPixelsY(y);
    return QRect(left, top, toPixelsX(x + w) - left, toPixelsY(y + h) - top);
}

QSize DialogLayout::toPixels(int w, int h) const {
    return QSize(toPixelsX(w), toPixelsY(h));
}

QRect DialogLayout::roomIn(const QRect& available) {
    // Room for a window manager's frame and title bar.
    constexpr int frameX = 16;
    constexpr int frameY = 48;
    return available.adjusted(frameX / 2, frameY / 2, -frameX / 2, -frameY / 2);
}

QRect DialogLayout::roomOnScreen(const QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? roomIn(screen->availableGeometry()) : QRect();
}

void DialogLayout::sizeWindow(QWidget* window, int w, int h) {
    const QRect room = roomOnScreen(window);
    const QSize full = toPixels(w, h);
    if (!room.isEmpty() && (full.width() > room.width() || full.height() > room.height())) {
        const qreal fit =
            std::min(qreal(room.width()) / full.width(), qreal(room.height()) / full.height());
        setScale(scale_ * std::max(minimumScale, fit));
        style_ = ScaledStyle::forWindow(window);
        style_->setScale(scale_);
    }
    window->setFont(scaledFont());
    window->setFixedSize(toPixels(w, h));
}

QString DialogLayout::plainCaption(const char* caption) {
    const QString text = QString::fromUtf8(caption ? caption : "");
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;  // "&&" keeps the second '&'; "&x" keeps the x
        }
        plain += text[i];
    }
    return plain;
}

namespace {

// The row's rectangle in dialog units, kept on the control so it can be placed again.
const char* const unitsProperty = "dialogUnits";
// A combo box's closed height in vertical dialog units, as the style made it at creation.
const char* const closedHeightProperty = "closedHeightUnits";

Qt::Alignment textAlignment(unsigned style) {
    if (style & flags::centred) {
        return Qt::AlignHCenter;
    }
    if (style & flags::rightAligned) {
        return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

QWidget* createEdit(QWidget* window, const ControlRow& row) {
    if (row.style & flags::multiLine) {
        auto* edit = new QPlainTextEdit(window);
        edit->setReadOnly(row.style & flags::readOnly);
        QTextOption option = edit->document()->defaultTextOption();
        option.setAlignment(textAlignment(row.style));
        edit->document()->setDefaultTextOption(option);
        edit->setVerticalScrollBarPolicy(
            (row.style & flags::verticalScroll) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
        return edit;
    }
    auto* edit = new QLineEdit(window);
    edit->setReadOnly(row.style & flags::readOnly);
    edit->setAlignment(textAlignment(row.style) | Qt::AlignVCenter);
    // A read-only box's text is the program's to show: keep the cursor at its start, so a
    // text wider than the box shows its beginning.
    edit->setCursorPosition(0);
    return edit;
}

QWidget* createControl(QWidget* window, const ControlRow& row) {
    const QString caption = QString::fromUtf8(row.caption ? row.caption : "");
    switch (row.kind) {
        case ControlKind::groupBox: {
            auto* box = new QGroupBox(caption, window);
            if (row.style & flags::centred) {
                box->setAlignment(Qt::AlignHCenter);
            }
            return box;
        }
        case ControlKind::label: {
            auto* label = new QLabel(DialogLayout::plainCaption(row.caption), window);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(textAlignment(row.style) | Qt::AlignTop);
            label->setWordWrap(row.style & flags::wordWrap);
            return label;
        }
        case ControlKind::pushButton: {
            auto* button = new QPushButton(caption, window);
            button->setDefault(row.style & flags::defaultButton);
            button->setAutoDefault(row.style & flags::defaultButton);
            return button;
        }
        case ControlKind::checkBox:
            return new QCheckBox(caption, window);
        case ControlKind::editableCombo: {
            auto* combo = new QComboBox(window);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            return combo;
        }
        case ControlKind::edit:
            return createEdit(window, row);
        case ControlKind::progressBar: {
            auto* bar = new QProgressBar(window);
            bar->setTextVisible(false);
            return bar;
        }
        case ControlKind::analogDisplay:
            return new CiAnalogDisplayX(window);
        case ControlKind::ledRectangle: {
            auto* lamp = new CiLedRectangleX(window);
            lamp->setLabel(DialogLayout::plainCaption(row.caption));
            lamp->setWordWrap(row.style & flags::wordWrap);
            return lamp;
        }
        case ControlKind::ledRound:
            return new CiLedRoundX(window);
        case ControlKind::slider:
            return new CiSliderX(window);
    }
    return nullptr;
}

}  // namespace

QWidget* DialogLayout::create(QWidget* window, const ControlRow& row) const {
    QWidget* control = createControl(window, row);
    if (row.id != 0) {
        control->setObjectName(QString::number(row.id));
    }
    control->setProperty(unitsProperty, QRect(row.x, row.y, row.w, row.h));
    if (qobject_cast<QComboBox*>(control)) {
        // A combo box's height in a layout includes its dropped list; the closed box is as
        // tall as the style makes it for the dialog font, and scales with the layout.
        control->setProperty(closedHeightProperty, closedComboUnits());
    }
    place(control);
    if (style_ != nullptr) {
        // The control and its parts (a combo box's edit field).
        control->setStyle(style_);
        for (QWidget* part : control->findChildren<QWidget*>()) {
            if (!part->isWindow()) {
                part->setStyle(style_);
            }
        }
    }
    control->setEnabled(!(row.style & flags::disabled));
    if (row.kind == ControlKind::groupBox) {
        control->lower();  // frames and captions stay behind the controls they surround
    }
    control->show();
    return control;
}

bool DialogLayout::isPlaced(const QWidget* control) {
    return control->property(unitsProperty).isValid();
}

void DialogLayout::place(QWidget* control) const {
    const QRect units = control->property(unitsProperty).toRect();
    QRect rect = toPixels(units.x(), units.y(), units.width(), units.height());
    const QVariant closedHeight = control->property(closedHeightProperty);
    if (closedHeight.isValid()) {
        rect.setHeight(qRound(closedHeight.toReal() * charHeight_ * scale_ / 8.0));
    }
    control->setGeometry(rect);
}

void DialogLayout::build(QWidget* window, std::span<const ControlRow> rows,
                         DialogControls& into) const {
    for (const ControlRow& row : rows) {
        QWidget* control = create(window, row);
        if (row.id != 0) {
            into.add(row.id, control);
        }
    }
}

DialogControls DialogLayout::build(QWidget* window, std::span<const ControlRow> rows) const {
    DialogControls controls;
    build(window, rows, controls);
    return controls;
}

}  // namespace platform
