#pragma once
// Paints a window at most once per display frame. A saturated line brings hundreds of
// updates a second and every one rewrites every value; a screen shows about 60 frames. Qt
// paints a window when its update request event arrives; the pacer lets one through per
// frame and holds the others, handing the window one request at the end of the frame, so
// the last value written is always what gets painted. Painting on exposure is not affected.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

namespace platform {

class FramePacer : public QObject {
    Q_OBJECT
public:
    static constexpr int defaultFrameMs = 16;

    // Paces `window` (a top-level widget) from now on; the pacer belongs to the window.
    static FramePacer* install(QWidget* window, int frameMs = defaultFrameMs);

    // Update requests held back so far, each one folded into a later frame.
    int heldCount() const { return held_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FramePacer(QWidget* window, int frameMs);
    void frameEnd();

    QWidget* window_;
    int frameMs_;
    QElapsedTimer sincePaint_;
    QTimer frameTimer_;
    int held_ = 0;
};

}  // namespace platform
