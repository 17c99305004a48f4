#pragma once
// Fits the dashboard to its window: the whole layout (positions, fonts, instruments) is drawn
// at one scale, the largest at which the dialog-unit layout fits the window above the status
// bar. The window opens no larger than the screen's available area and can be resized.

#include <QObject>
#include <QSize>

#include "platform/qt/DialogLayout.h"

class QWidget;

namespace terminal::ui {

class DashboardScaling : public QObject {
public:
    // `units`: the layout's size in dialog units; `bar` sits below it across the window.
    DashboardScaling(QWidget* window, QSize units, QWidget* bar);

    // The size the window opens with: the layout at scale 1, or scaled down as a whole to fit
    // the available area of `available` (the screen's, in logical pixels) with room for the
    // window frame.
    QSize fittingSize(const QRect& available) const;
    // Sizes the window to fittingSize() of its screen.
    void fitToScreen();

    // The window's client size at `scale`.
    QSize sizeAt(qreal scale) const;
    qreal scale() const { return layout_.scale(); }

    // Lays the window out for a client area of `size` (also done on every resize).
    void apply(QSize size);

    bool eventFilter(QObject* watched, QEvent* event) override;

    // The smallest scale the window can be shrunk to.
    static constexpr qreal minimumScale = 0.4;

private:
    QWidget* window_;
    QWidget* bar_;
    QSize units_;
    platform::DialogLayout layout_;
    QSize base_;  // pixels at scale 1
};

}  // namespace terminal::ui
