#include "platform/layout/qt/ScaledStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>
#include <QWidget>
#include <cmath>
#include <variant>

namespace platform {

namespace {

// The base style's calls back into its proxy (this style) happen while it draws or measures
// at the layout's size: they get the base style's own answers.
class Depth {
public:
    explicit Depth(int& depth) : depth_(depth) { ++depth_; }
    ~Depth() { --depth_; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;

private:
    int& depth_;
};

// Option types a window's controls hand to the style. Others are drawn as they come.
using OptionCopy = std::variant<std::monostate, QStyleOption, QStyleOptionFocusRect,
                                QStyleOptionButton, QStyleOptionFrame, QStyleOptionProgressBar,
                                QStyleOptionComplex, QStyleOptionSlider, QStyleOptionSpinBox,
                                QStyleOptionComboBox, QStyleOptionGroupBox, QStyleOptionSizeGrip>;

template <class T>
QStyleOption* copyAs(OptionCopy& into, const QStyleOption* option) {
    return &into.emplace<T>(*static_cast<const T*>(option));
}

QStyleOption* copyOf(OptionCopy& into, const QStyleOption* option) {
    switch (option->type) {
        case QStyleOption::SO_Default:
            return copyAs<QStyleOption>(into, option);
        case QStyleOption::SO_FocusRect:
            return copyAs<QStyleOptionFocusRect>(into, option);
        case QStyleOption::SO_Button:
            return copyAs<QStyleOptionButton>(into, option);
        case QStyleOption::SO_Frame:
            return copyAs<QStyleOptionFrame>(into, option);
        case QStyleOption::SO_ProgressBar:
            return copyAs<QStyleOptionProgressBar>(into, option);
        case QStyleOption::SO_Complex:
            return copyAs<QStyleOptionComplex>(into, option);
        case QStyleOption::SO_Slider:
            return copyAs<QStyleOptionSlider>(into, option);
        case QStyleOption::SO_SpinBox:
            return copyAs<QStyleOptionSpinBox>(into, option);
        case QStyleOption::SO_ComboBox:
            return copyAs<QStyleOptionComboBox>(into, option);
        case QStyleOption::SO_GroupBox:
            return copyAs<QStyleOptionGroupBox>(into, option);
        case QStyleOption::SO_SizeGrip:
            return copyAs<QStyleOptionSizeGrip>(into, option);
        default:
            return nullptr;
    }
}

QSize scaledSize(QSize size, qreal factor) {
    if (size.width() <= 0 && size.height() <= 0) {
        return size;
    }
    return {size.width() > 0 ? int(std::ceil(size.width() * factor - 1e-6)) : size.width(),
            size.height() > 0 ? int(std::ceil(size.height() * factor - 1e-6)) : size.height()};
}

}  // namespace

// A control's option at the layout's size: its rectangle moved to the origin and divided by
// the scale, its font metrics those of the layout's font. The factors map the layout's
// rectangle exactly onto the control's, so a frame drawn at its edge lands on the control's.
class ScaledStyle::LayoutOption {
public:
    LayoutOption(const ScaledStyle& style, const QStyleOption* option, const QWidget* widget) {
        if (option == nullptr) {
            return;
        }
        copy_ = copyOf(storage_, option);
        if (copy_ == nullptr) {
            return;
        }
        const qreal scale = style.scale_;
        const QRect rect = option->rect;
        origin_ = rect.topLeft();
        const int width = rect.width() > 0 ? std::max(1, qRound(rect.width() / scale)) : 0;
        const int height = rect.height() > 0 ? std::max(1, qRound(rect.height() / scale)) : 0;
        sx_ = width > 0 ? qreal(rect.width()) / width : scale;
        sy_ = height > 0 ? qreal(rect.height()) / height : scale;
        copy_->rect = QRect(0, 0, width, height);
        if (widget != nullptr) {
            copy_->fontMetrics = style.layoutMetrics(widget->font());
        }
        if (auto* button = std::get_if<QStyleOptionButton>(&storage_)) {
            button->iconSize = scaledSize(button->iconSize, 1.0 / scale);
        } else if (auto* combo = std::get_if<QStyleOptionComboBox>(&storage_)) {
            combo->iconSize = scaledSize(combo->iconSize, 1.0 / scale);
        }
    }

    // nullptr for an option of a kind this style does not know: it is used as it comes.
    const QStyleOption* get() const { return copy_; }
    template <class T>
    const T* as() const {
        return static_cast<const T*>(copy_);
    }

    // Sets `painter` up to draw at the layout's size onto the control.
    void transform(QPainter* painter, const ScaledStyle& style) const {
        painter->translate(origin_);
        painter->scale(sx_, sy_);
        painter->setFont(style.layoutFont(painter->font()));
    }

    QRect toControl(const QRect& rect) const {
        if (rect.isNull()) {
            return rect;
        }
        const int left = origin_.x() + qRound(rect.left() * sx_);
        const int top = origin_.y() + qRound(rect.top() * sy_);
        const int right = origin_.x() + qRound((rect.left() + rect.width()) * sx_);
        const int bottom = origin_.y() + qRound((rect.top() + rect.height()) * sy_);
        return {left, top, right - left, bottom - top};
    }

    QPoint toLayout(const QPoint& point) const {
        return {qRound((point.x() - origin_.x()) / sx_), qRound((point.y() - origin_.y()) / sy_)};
    }

private:
    OptionCopy storage_;
    QStyleOption* copy_ = nullptr;
    QPoint origin_;
    qreal sx_ = 1.0;
    qreal sy_ = 1.0;
};

ScaledStyle::ScaledStyle(QObject* owner) : QProxyStyle(QApplication::style()->name()) {
    setParent(owner);
}

ScaledStyle* ScaledStyle::forWindow(QWidget* window) {
    auto* style = new ScaledStyle;
    // A window's children are gone by the time it reports its own end.
    QObject::connect(window, &QObject::destroyed, [style] { delete style; });
    return style;
}

void ScaledStyle::setScale(qreal scale) {
    scale_ = scale > 0 ? scale : 1.0;
    measuredFont_ = QFont();
    measured_ = QFontMetrics(measuredFont_);
}

QFont ScaledStyle::layoutFont(const QFont& font) const {
    QFont layout = font;
    if (font.pointSizeF() > 0) {
        layout.setPointSizeF(font.pointSizeF() / scale_);
    } else if (font.pixelSize() > 0) {
        layout.setPixelSize(std::max(1, qRound(font.pixelSize() / scale_)));
    }
    return layout;
}

const QFontMetrics& ScaledStyle::layoutMetrics(const QFont& font) const {
    if (!(font == measuredFont_)) {
        measuredFont_ = font;
        measured_ = QFontMetrics(layoutFont(font));
    }
    return measured_;
}

void ScaledStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    const LayoutOption layout(*this, scaling() ? option : nullptr, widget);
    if (layout.get() == nullptr) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    painter->save();
    layout.transform(painter, *this);
    const Depth inside(depth_);
    QProxyStyle::drawPrimitive(element, layout.get(), painter, widget);
    painter->restore();
}

void ScaledStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    const LayoutOption layout(*this, scaling() ? option : nullptr, widget);
    if (layout.get() == nullptr) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    painter->save();
    layout.transform(painter, *this);
    const Depth inside(depth_);
    QProxyStyle::drawControl(element, layout.get(), painter, widget);
    painter->restore();
}

void ScaledStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     QPainter* painter, const QWidget* widget) const {
    const LayoutOption layout(*this, scaling() ? option : nullptr, widget);
    if (layout.get() == nullptr) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    painter->save();
    layout.transform(painter, *this);
    const Depth inside(depth_);
    QProxyStyle::drawComplexControl(control, layout.as<QStyleOptionComplex>(), painter, widget);
    painter->restore();
}

int ScaledStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                             const QWidget* widget) const {
    if (!scaling()) {
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
    const LayoutOption layout(*this, option, widget);
    const Depth inside(depth_);
    const int value =
        QProxyStyle::pixelMetric(metric, layout.get() ? layout.get() : option, widget);
    if (value <= 0) {
        return value;  // none, or a flag
    }
    // A line one pixel wide stays visible.
    return std::max(1, qRound(value * scale_));
}

QSize ScaledStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                    const QSize& size, const QWidget* widget) const {
    if (!scaling()) {
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }
    const LayoutOption layout(*this, option, widget);
    const Depth inside(depth_);
    const QSize atLayout = QProxyStyle::sizeFromContents(type, layout.get() ? layout.get() : option,
                                                         scaledSize(size, 1.0 / scale_), widget);
    return scaledSize(atLayout, scale_);
}

QRect ScaledStyle::subElementRect(SubElement element, const QStyleOption* option,
                                  const QWidget* widget) const {
    const LayoutOption layout(*this, scaling() ? option : nullptr, widget);
    if (layout.get() == nullptr) {
        return QProxyStyle::subElementRect(element, option, widget);
    }
    const Depth inside(depth_);
    return layout.toControl(QProxyStyle::subElementRect(element, layout.get(), widget));
}

QRect ScaledStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                  SubControl subControl, const QWidget* widget) const {
    const LayoutOption layout(*this, scaling() ? option : nullptr, widget);
    if (layout.get() == nullptr) {
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    }
    const Depth inside(depth_);
    return layout.toControl(
        QProxyStyle::subControlRect(control, layout.as<QStyleOptionComplex>(), subControl, widget));
}

QStyle::SubControl ScaledStyle::hitTestComplexControl(ComplexControl control,
                                                      const QStyleOptionComplex* option,
                                                      const QPoint& point,
                                                      const QWidget* widget) const {
    const LayoutOption layout(*this, scaling() ? option : nullptr, widget);
    if (layout.get() == nullptr) {
        return QProxyStyle::hitTestComplexControl(control, option, point, widget);
    }
    const Depth inside(depth_);
    return QProxyStyle::hitTestComplexControl(control, layout.as<QStyleOptionComplex>(),
                                              layout.toLayout(point), widget);
}

}  // namespace platform
