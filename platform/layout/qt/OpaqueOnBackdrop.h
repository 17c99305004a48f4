#pragma once
// Makes a widget that leaves some pixels unpainted (a text box's rounded corners) opaque all the
// same: what lies behind it (the window and the group boxes under it, which do not change) is
// taken once as a picture and painted first. A box whose text changes on every status line then
// repaints alone instead of repainting, title and all, every group box it sits on. Taken again
// after a move or resize; until then the widget is not opaque.

#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QSize>

class QWidget;

namespace platform {

class OpaqueOnBackdrop : public QObject {
public:
    // Does nothing for a widget that has one already, or no parent. Belongs to the widget.
    static void install(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit OpaqueOnBackdrop(QWidget* widget);
    bool current() const;
    void drop();
    void take();

    QWidget* widget_;
    QPixmap backdrop_;
    QSize size_;
    QPoint place_;
    QSize parentSize_;
    bool taking_ = false;
    bool pending_ = false;
};

}  // namespace platform
