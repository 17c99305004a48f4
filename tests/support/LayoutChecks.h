#pragma once
// Whether a window built from a dialog-unit layout is whole on the screen it is on: inside the
// screen's available area, no control over another or over a group's caption, and every text
// inside its control by its font's metrics. Faults come back as readable lines.

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "platform/instruments/qt/CiLedRectangleX.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "platform/layout/qt/ScaledStyle.h"

namespace testing_support {

inline QString nameOf(const QWidget* widget) {
    if (!widget->objectName().isEmpty()) {
        return widget->objectName();
    }
    if (auto* box = qobject_cast<const QGroupBox*>(widget)) {
        return QStringLiteral("group \"%1\"").arg(box->title());
    }
    if (auto* label = qobject_cast<const QLabel*>(widget)) {
        return QStringLiteral("label \"%1\"").arg(label->text());
    }
    return QString::fromLatin1(widget->metaObject()->className());
}

// A caption as drawn: "&&" shows "&", a lone "&" marks a mnemonic.
inline QString shownCaption(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

// Where a group box draws its caption, in its parent's coordinates.
inline QRect captionRect(const QGroupBox* box) {
    if (box->title().isEmpty()) {
        return {};
    }
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return box->style()
        ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box)
        .translated(box->pos());
}

// The caption's text alone, without the pixel of room the style keeps around it.
inline QRect captionText(const QGroupBox* box) {
    const QRect caption = captionRect(box);
    return caption.isNull() ? caption : caption.adjusted(1, 1, -1, -1);
}

// The size of `text` as `widget`'s style draws it: a scaled style draws at the layout's size,
// in the layout's font, through the factors that map the layout's rectangle onto the widget.
inline QSizeF drawnSize(const QWidget* widget, const QString& text) {
    QFont font = widget->font();
    qreal across = 1.0;
    qreal down = 1.0;
    if (auto* scaled = qobject_cast<const platform::ScaledStyle*>(widget->style())) {
        font = scaled->layoutFont(font);
        across = widget->width() / std::max(1.0, std::round(widget->width() / scaled->scale()));
        down = widget->height() / std::max(1.0, std::round(widget->height() / scaled->scale()));
    }
    const QFontMetricsF metrics(font);
    return {metrics.horizontalAdvance(text) * across,
            (metrics.ascent() + metrics.descent()) * down};
}

// A caption as it shows: a space at its end takes no room.
inline QString visibleCaption(const QString& text) {
    QString shown = text;
    while (shown.endsWith(QLatin1Char(' '))) {
        shown.chop(1);
    }
    return shown;
}

// A fault line when `text` of `size` is wider or taller than `room`.
inline void checkFits(QStringList& faults, const QString& who, const QString& text, QSizeF size,
                      const QRectF& room) {
    const qreal width = size.width();
    const qreal height = size.height();
    if (width > room.width() + 0.5 || height > room.height() + 0.5) {
        faults << QStringLiteral("%1: \"%2\" needs %3 x %4, has %5 x %6")
                      .arg(who, text)
                      .arg(width, 0, 'f', 1)
                      .arg(height, 0, 'f', 1)
                      .arg(room.width(), 0, 'f', 1)
                      .arg(room.height(), 0, 'f', 1);
    }
}

// The size of `text` in `font`, as a widget draws it itself.
inline QSizeF textSize(const QFont& font, const QString& text) {
    const QFontMetricsF metrics(font);
    return {metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent()};
}

inline void checkTextFits(QStringList& faults, const QWidget* widget) {
    const QString who = nameOf(widget);
    if (auto* label = qobject_cast<const QLabel*>(widget)) {
        if (!label->text().isEmpty() && !label->wordWrap()) {
            checkFits(faults, who, label->text(), textSize(label->font(), label->text()),
                      label->contentsRect());
        }
    } else if (auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QStyle::SubElement contents = qobject_cast<const QCheckBox*>(button)
                                                ? QStyle::SE_CheckBoxContents
                                                : QStyle::SE_PushButtonContents;
        const QRect room = button->style()->subElementRect(contents, &option, button);
        const QString text = shownCaption(button->text());
        checkFits(faults, who, text, drawnSize(button, text), room);
    } else if (auto* box = qobject_cast<const QGroupBox*>(widget)) {
        const QRect caption = captionRect(box);
        if (!caption.isNull()) {
            if (caption.left() < box->x() || caption.right() > box->geometry().right()) {
                faults << QStringLiteral("%1: caption beyond the box").arg(who);
            }
            const QString text = visibleCaption(shownCaption(box->title()));
            checkFits(faults, who, text, drawnSize(box, text), caption);
        }
    } else if (auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        if (!edit->text().isEmpty()) {
            QStyleOptionFrame option;
            option.initFrom(edit);
            option.lineWidth = edit->hasFrame() ? 1 : 0;
            QRect room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
            // The edit keeps 2 pixels each side of its text.
            room = room.marginsRemoved(edit->textMargins()).adjusted(2, 0, -2, 0);
            checkFits(faults, who, edit->text(), textSize(edit->font(), edit->text()), room);
        }
    } else if (auto* display = qobject_cast<const platform::CiAnalogDisplayX*>(widget)) {
        checkFits(faults, who, display->displayText(),
                  textSize(display->readoutFont(), display->displayText()), display->readoutArea());
    } else if (auto* lamp = qobject_cast<const platform::CiLedRectangleX*>(widget)) {
        const QRectF area = lamp->captionArea();
        const QRectF needed = QFontMetricsF(lamp->captionFont())
                                  .boundingRect(area, lamp->captionFlags(), lamp->label());
        if (needed.width() > area.width() + 0.5 || needed.height() > area.height() + 0.5) {
            faults << QStringLiteral("%1: caption \"%2\" needs %3 x %4, has %5 x %6")
                          .arg(who, lamp->label())
                          .arg(needed.width(), 0, 'f', 1)
                          .arg(needed.height(), 0, 'f', 1)
                          .arg(area.width(), 0, 'f', 1)
                          .arg(area.height(), 0, 'f', 1);
        }
    } else if (auto* slider = qobject_cast<const platform::CiSliderX*>(widget)) {
        if (!slider->sliderGeometry().showsNumbers()) {
            faults << QStringLiteral("%1: no numbers over the ticks").arg(who);
        }
    }
}

// Two controls may share pixels only as a group box and what lies inside it; nothing covers a
// group's caption (a group box inside another paints only its frame and caption, below the
// outer caption's text).
inline void checkOverlap(QStringList& faults, const QWidget* a, const QWidget* b) {
    const QRect ra = a->geometry();
    const QRect rb = b->geometry();
    if (!ra.intersects(rb)) {
        return;
    }
    auto* groupA = qobject_cast<const QGroupBox*>(a);
    auto* groupB = qobject_cast<const QGroupBox*>(b);
    const QString pair = nameOf(a) + QStringLiteral(" and ") + nameOf(b);
    if ((groupA && ra.contains(rb)) || (groupB && rb.contains(ra))) {
        const QGroupBox* outer = groupA && ra.contains(rb) ? groupA : groupB;
        const QWidget* inner = outer == groupA ? b : a;
        auto* innerGroup = qobject_cast<const QGroupBox*>(inner);
        const QRect covering = innerGroup ? captionText(innerGroup) : inner->geometry();
        if (covering.intersects(captionText(outer))) {
            faults << pair + QStringLiteral(": over the caption");
        }
        return;
    }
    faults << pair + QStringLiteral(" overlap");
}

// Whether `window` (shown) lies inside its screen's available area.
inline QStringList screenFaults(const QWidget* window) {
    QStringList faults;
    if (const QScreen* screen = window->screen()) {
        if (!screen->availableGeometry().contains(window->frameGeometry())) {
            faults << QStringLiteral("window %1 x %2 at %3,%4 beyond the screen's area %5 x %6")
                          .arg(window->frameGeometry().width())
                          .arg(window->frameGeometry().height())
                          .arg(window->frameGeometry().x())
                          .arg(window->frameGeometry().y())
                          .arg(screen->availableGeometry().width())
                          .arg(screen->availableGeometry().height());
        }
    }
    return faults;
}

// The faults of `window`'s layout as it stands.
inline QStringList layoutFaults(const QWidget* window) {
    QStringList faults;
    QList<const QWidget*> controls;
    for (const QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow() && child->isVisibleTo(window)) {
            controls << child;
        }
    }
    for (qsizetype i = 0; i < controls.size(); ++i) {
        if (!window->rect().contains(controls[i]->geometry())) {
            faults << nameOf(controls[i]) + QStringLiteral(": beyond the window");
        }
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            checkOverlap(faults, controls[i], controls[j]);
        }
    }
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isWindow() && widget->isVisibleTo(window)) {
            checkTextFits(faults, widget);
        }
    }
    return faults;
}

}  // namespace testing_support
