// A window drawn at a scale through ScaledStyle looks like the window at full size made
// smaller or larger: what the style draws in its own measures (a check box's indicator, a combo
// box's arrow, the room under a group's caption) follows the scale as the fonts do.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QStyleOption>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "platform/layout/qt/DialogLayout.h"
#include "platform/layout/qt/ScaledStyle.h"

namespace {

// A control at full size with the application's style, or at `scale` with a ScaledStyle: the
// dialog font and the size follow the scale.
struct Control {
    Control(const std::function<QWidget*(QWidget*)>& make, QSize size, qreal scale)
        : style(platform::ScaledStyle::forWindow(&window)) {
        style->setScale(scale);
        QFont font = platform::DialogLayout::dialogFont();
        font.setPointSizeF(font.pointSizeF() * scale);
        window.setFont(font);
        widget = make(&window);
        if (scale != 1.0) {
            widget->setStyle(style);
            for (QWidget* part : widget->findChildren<QWidget*>()) {
                part->setStyle(style);
            }
        }
        widget->setGeometry(QRect(QPoint(0, 0), size * scale));
        window.resize(widget->size());
    }
    QWidget window;
    platform::ScaledStyle* style;
    QWidget* widget = nullptr;
};

QRect indicator(QWidget* widget) {
    QStyleOptionButton option;
    option.initFrom(widget);
    return widget->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, widget);
}

QRect arrow(QWidget* widget) {
    QStyleOptionComboBox option;
    option.initFrom(widget);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    return widget->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow,
                                           widget);
}

QRect groupContents(QWidget* widget) {
    QStyleOptionGroupBox option;
    option.initFrom(widget);
    option.text = static_cast<QGroupBox*>(widget)->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return widget->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                           QStyle::SC_GroupBoxContents, widget);
}

struct MeasureCase {
    const char* what;
    std::function<QWidget*(QWidget*)> make;
    QSize size;
    std::function<QRect(QWidget*)> measure;
};

TEST(ScaledStyle, ThePartsTheStyleDrawsFollowTheScale) {
    const MeasureCase cases[] = {
        {"check-box indicator", [](QWidget* w) { return new QCheckBox("Quiet", w); },
         QSize(105, 16), indicator},
        {"combo-box arrow",
         [](QWidget* w) {
             auto* combo = new QComboBox(w);
             combo->setEditable(true);
             combo->addItem("COM25");
             return combo;
         },
         QSize(82, 24), arrow},
        {"room under a group's caption",
         [](QWidget* w) { return new QGroupBox("Serial Number", w); }, QSize(146, 47),
         groupContents},
    };
    for (const MeasureCase& c : cases) {
        const Control full(c.make, c.size, 1.0);
        const QRect atFull = c.measure(full.widget);
        ASSERT_FALSE(atFull.isEmpty()) << c.what;
        for (qreal scale : {0.5, 2.0}) {
            const Control scaled(c.make, c.size, scale);
            const QRect atScale = c.measure(scaled.widget);
            EXPECT_NEAR(atScale.left(), atFull.left() * scale, 1.0) << c.what << " at " << scale;
            EXPECT_NEAR(atScale.top(), atFull.top() * scale, 1.0) << c.what << " at " << scale;
            EXPECT_NEAR(atScale.width(), atFull.width() * scale, 1.0) << c.what << " at " << scale;
            EXPECT_NEAR(atScale.height(), atFull.height() * scale, 1.0)
                << c.what << " at " << scale;
        }
    }
}

// The box around what a control paints dark: its text and marks.
QRect inked(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 140) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

TEST(ScaledStyle, AControlAtHalfSizeIsDrawnAsTheFullSizeOneMadeSmaller) {
    const auto checked = [](QWidget* w) {
        auto* box = new QCheckBox("Warnings", w);
        box->setChecked(true);
        return box;
    };
    for (qreal scale : {0.5, 2.0}) {
        const Control full(checked, QSize(120, 24), 1.0);
        const Control scaled(checked, QSize(120, 24), scale);
        const QRect atFull = inked(full.widget);
        const QRect atScale = inked(scaled.widget);
        ASSERT_FALSE(atFull.isEmpty());
        EXPECT_NEAR(atScale.left(), atFull.left() * scale, 2.0) << scale;
        EXPECT_NEAR(atScale.right(), atFull.right() * scale, 2.0) << scale;
        EXPECT_NEAR(atScale.top(), atFull.top() * scale, 2.0) << scale;
        EXPECT_NEAR(atScale.bottom(), atFull.bottom() * scale, 2.0) << scale;
    }
}

TEST(ScaledStyle, AtScaleOneItIsTheApplicationsStyle) {
    platform::ScaledStyle style;
    QCheckBox box("Dynamic");
    for (QStyle::PixelMetric metric :
         {QStyle::PM_IndicatorWidth, QStyle::PM_DefaultFrameWidth, QStyle::PM_ScrollBarExtent}) {
        EXPECT_EQ(style.pixelMetric(metric, nullptr, &box),
                  QApplication::style()->pixelMetric(metric, nullptr, &box));
    }
}

}  // namespace
