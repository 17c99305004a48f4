#pragma once
// Remembers the dashboard's size and position in the program's own settings,
// $XDG_CONFIG_HOME/Tessaly/Tessaly.conf (never in vive1939.ini, which holds the port only),
// and restores them at the next start when they still fit a screen.

#include <QObject>
#include <QRect>
#include <QString>

class QTimer;
class QWidget;

namespace terminal::ui {

class WindowPlacement : public QObject {
public:
    // Restores the window's place from `file` when it fits, then saves each change. `key`
    // names the place in the file, so several windows can share it.
    WindowPlacement(QWidget* window, QString file = defaultFile(),
                    QString key = QStringLiteral("window/geometry"));
    ~WindowPlacement() override;

    static QString defaultFile();

    // Whether a saved place still fits: inside one screen's available area and not smaller
    // than the window may be.
    static bool fits(const QRect& place, const QWidget* window);

    void save();
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    QString file_;
    QString key_;
    QTimer* pending_;
    bool shown_ = false;  // nothing is saved for a window never shown
};

}  // namespace terminal::ui
