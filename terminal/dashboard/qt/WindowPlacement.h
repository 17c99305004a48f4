#pragma once
// Remembers the dashboard's size and position in the program's own settings,
// $XDG_CONFIG_HOME/Tessaly/Tessaly.conf (never in vive1939.ini, which holds the port only),
// together with the screen they belong to: its name, available area and pixel ratio. They are
// restored only on that same screen at that same scale; anywhere else the window keeps the
// natural size it opened with. Where the platform places windows itself (Wayland), only the
// size is remembered and restored. A run without a real display (the offscreen or minimal
// platform: a test, a recording started from a script) writes nothing.

#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

class QScreen;
class QTimer;
class QWidget;

namespace terminal::ui {

class WindowPlacement : public QObject {
public:
    // What the platform lets a program do with its windows.
    enum class Platform {
        places,     // a window goes where the program puts it
        sizesOnly,  // the desktop chooses where (Wayland): the size alone is the program's
        none,       // no window reaches a user (offscreen, minimal): nothing is saved
    };
    static Platform currentPlatform();

    // Restores the window's place from `file` when it belongs to a screen present now, then
    // saves each change. `group` names the window's section in the file, so several windows
    // can share it.
    WindowPlacement(QWidget* window, QString file = defaultFile(),
                    QString group = QStringLiteral("window"),
                    Platform platform = currentPlatform());
    ~WindowPlacement() override;

    static QString defaultFile();

    // A place (its size alone where the platform places windows) and the screen it was
    // taken on.
    struct Saved {
        QRect place;
        QSize size;
        QString screen;
        QRect screenArea;
        qreal pixelRatio = 0.0;
    };
    // The screen of those present whose name, available area and pixel ratio are the saved
    // ones and that holds the place whole; nullptr when there is none or the window would be
    // smaller than it may be.
    static QScreen* screenFor(const Saved& saved, const QWidget* window);
    // Whether this platform shows windows to a user (and so may remember their places).
    static bool platformRemembers();

    void save();
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Saved readSaved() const;

    QWidget* window_;
    QString file_;
    QString group_;
    Platform platform_;
    QTimer* pending_;
    bool shown_ = false;  // nothing is saved for a window never shown
};

}  // namespace terminal::ui
