#include "platform/layout/qt/DialogLayout.h"

#include <QApplication>
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
#include <QWindow>
#include <algorithm>

#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "platform/instruments/qt/CiLedRectangleX.h"
#include "platform/instruments/qt/CiLedRoundX.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "platform/layout/qt/ScaledStyle.h"

namespace platform {

void DialogControls::add(int id, QWidget* widget) {
    byId_[id] = widget;
    if (id >= 0 && id < directIds) {
        if (static_cast<std::size_t>(id) >= direct_.size()) {
            direct_.resize(static_cast<std::size_t>(id) + 1, nullptr);
        }
        direct_[static_cast<std::size_t>(id)] = widget;
    }
}

QWidget* DialogControls::widget(int id) const {
    if (id >= 0 && id < directIds) {
        return static_cast<std::size_t>(id) < direct_.size() ? direct_[static_cast<std::size_t>(id)]
                                                             : nullptr;
    }
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

QMargins DialogLayout::frameMargins(const QWidget* window) {
    // Known once a window is shown: its own, else that of another window of the program (the
    // same decorations draw them all).
    // A platform without a display invents its frames.
    const bool invented = QGuiApplication::platformName() == QLatin1String("offscreen") ||
                          QGuiApplication::platformName() == QLatin1String("minimal");
    const auto shownFrame = [invented](const QWidget* widget) {
        if (invented) {
            return QMargins();
        }
        const QWindow* handle = widget->windowHandle();
        return handle != nullptr && widget->isVisible() ? handle->frameMargins() : QMargins();
    };
    QMargins frame = shownFrame(window);
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (!frame.isNull()) {
            break;
        }
        frame = shownFrame(other);
    }
    // None shown yet, or no frame reported (a window manager tells it only later): room for
    // a window manager's frame and title bar.
    return frame.isNull() ? QMargins(8, 24, 8, 24) : frame;
}

int DialogLayout::unreportedPanelRoom(const QString& platform, const QRect& available,
                                      const QRect& whole) {
    // Wayland tells a program nothing of the desktop's panels: its available area is the
    // whole output, and a panel along an edge would hide what lies under it.
    return platform.startsWith(QLatin1String("wayland")) && available == whole ? 48 : 0;
}

QRect DialogLayout::roomIn(const QRect& available) {
    return roomIn(available, QMargins(8, 24, 8, 24), 0);
}

QRect DialogLayout::roomIn(const QRect& available, const QMargins& frame, int panel) {
    return available.adjusted(frame.left(), frame.top() + panel / 2, -frame.right(),
                              -frame.bottom() - (panel - panel / 2));
}

void DialogLayout::makeRoomForTitle(QWidget* window) {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ||
        qEnvironmentVariableIsSet("QT_WAYLAND_DISABLE_WINDOWDECORATION")) {
        return;
    }
    // Qt's title bar: the title after a 5-pixel gap, then minimize, maximize and close, each
    // 18 pixels and a 5-pixel gap, 8 pixels before the right edge; a little room to spare.
    constexpr int buttons = 3 * (18 + 5) + 8;
    constexpr int gaps = 5 + 12;
    const int needed =
        QFontMetrics(QGuiApplication::font()).horizontalAdvance(window->windowTitle()) + buttons +
        gaps;
    const int extra = needed - window->width();
    if (extra <= 0) {
        return;
    }
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->move(child->x() + extra / 2, child->y());
    }
    window->setFixedWidth(needed);
}

QRect DialogLayout::roomOnScreen(const QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return QRect();
    }
    const QRect available = screen->availableGeometry();
    return roomIn(
        available, frameMargins(window),
        unreportedPanelRoom(QGuiApplication::platformName(), available, screen->geometry()));
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
