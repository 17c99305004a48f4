#pragma once
// Fits the dashboard to its window: the whole layout (positions, fonts, what the style draws,
// instruments and the status bar) is drawn at one scale, the largest at which the dialog-unit
// layout and the bar below it fit the window. The window opens at its natural size (scale 1)
// or, on a screen too small for that, scaled down to the screen's available area, centred on
// it; it can be resized, and "Actual size" (Ctrl+0 in the context menu) brings it back.

#include <QObject>
#include <QSize>

#include "platform/layout/qt/DialogLayout.h"

class QAction;
class QRect;
class QWidget;
namespace platform {
class ScaledStyle;
}

namespace terminal::ui {

class DashboardScaling : public QObject {
public:
    // `units`: the layout's size in dialog units; `bar` sits below it across the window.
    DashboardScaling(QWidget* window, QSize units, QWidget* bar);

    // The size the window opens with: the layout at scale 1, or scaled down as a whole to fit
    // the available area of `available` (the screen's, in logical pixels) with room for the
    // window frame and, where the platform reports no work area, for the desktop's panels.
    QSize fittingSize(const QRect& available) const;
    // Sizes the window to fittingSize() of its screen and centres it there.
    void fitToScreen();
    // Back to fittingSize(), keeping the window's place where it still fits the screen.
    void showActualSize();

    // The window's client size at `scale`, and the bar's height in it.
    QSize sizeAt(qreal scale) const;
    int barHeightAt(qreal scale) const;
    qreal scale() const { return layout_.scale(); }

    // Lays the window out for a client area of `size` (also done on every resize).
    void apply(QSize size);

    // "Actual size", Ctrl+0, for the window's context menu.
    QAction* actualSizeAction() const { return actualSize_; }

    bool eventFilter(QObject* watched, QEvent* event) override;

    // The smallest scale the window can be shrunk to.
    static constexpr qreal minimumScale = platform::DialogLayout::minimumScale;

private:
    // The largest scale at which the layout and the bar fit `size`.
    qreal scaleFor(QSize size) const;
    QRect screenArea() const;
    // The client area's room in `available` (DialogLayout::roomOnScreen()'s rule).
    QRect roomIn(const QRect& available) const;
    // Once shown: fitted again where the real frame makes another size fit.
    void fitToShownFrame();

    QWidget* window_;
    QWidget* bar_;
    QSize units_;
    platform::DialogLayout layout_;
    QSize base_;  // pixels at scale 1
    platform::ScaledStyle* style_;
    QAction* actualSize_;
    QSize fitted_;  // the size fitToScreen() gave
    bool shownOnce_ = false;
};

}  // namespace terminal::ui
