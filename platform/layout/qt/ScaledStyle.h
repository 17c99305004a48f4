#pragma once
// A style for a window drawn larger or smaller than its layout: every control still draws
// through the application's own style, but at the layout's size, with the painter scaled by the
// window's scale. What the base style draws (indicators, arrows, frames, margins, the spacing
// it keeps in its own code) therefore shrinks and grows with the window's fonts and places,
// and the window at 50 % looks like the window at 100 % made smaller.
//
// Measures asked of the style (pixel metrics, sizes from contents, sub-element and sub-control
// rectangles) are the base style's at the layout's size, scaled to the window. Texts a widget
// draws itself (a line edit's, a label's) use the widget's font, which the window scales.
//
// One instance per scaled window, set on each of its controls (QWidget::setStyle does not
// pass a style on to children).

#include <QFont>
#include <QFontMetrics>
#include <QProxyStyle>

namespace platform {

class ScaledStyle : public QProxyStyle {
    Q_OBJECT
public:
    // The base is a fresh instance of the application's style, owned by this one.
    explicit ScaledStyle(QObject* owner = nullptr);
    // A style for `window`'s controls that outlives them: it goes when the window has.
    static ScaledStyle* forWindow(QWidget* window);

    void setScale(qreal scale);
    qreal scale() const { return scale_; }

    // The font a control's scaled `font` stands for at the layout's size.
    QFont layoutFont(const QFont& font) const;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                         SubControl subControl, const QWidget* widget) const override;
    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     const QPoint& point,
                                     const QWidget* widget = nullptr) const override;

private:
    class LayoutOption;
    friend class LayoutOption;

    // Whether a call comes from a widget (to be scaled) rather than from the base style
    // itself, which asks its proxy for measures while it draws at the layout's size.
    bool scaling() const { return depth_ == 0 && scale_ != 1.0; }
    const QFontMetrics& layoutMetrics(const QFont& font) const;

    qreal scale_ = 1.0;
    mutable int depth_ = 0;
    // The metrics of the last font measured: a window asks for the same one again and again.
    mutable QFont measuredFont_;
    mutable QFontMetrics measured_{QFont()};
};

}  // namespace platform
