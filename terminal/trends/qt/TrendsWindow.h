#pragma once
// The Trends window: the chosen values as plots over one time axis, live from the session's
// history (following the present until paused) or from a recording opened in it, which then
// replaces the live view until "Live" is pressed. The value list is the recording's own list
// of numeric columns. Not modal; the chosen values, the span, the splitter, the window's
// place and whether it was open when the program ended are kept in the program's settings.

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "terminal/trends/Recording.h"
#include "terminal/trends/TrendFeed.h"
#include "terminal/trends/TrendHistory.h"
#include "terminal/trends/qt/TrendsSource.h"

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QScrollBar;
class QSplitter;
class QTimer;
namespace platform {
class TrendChart;
}

namespace terminal::ui {

class TrendsWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* openCaption = "Open recording…";
    static constexpr const char* saveCaption = "Save as PNG…";
    // The spans offered, in minutes; a recording adds "All".
    static constexpr int spanMinutes[] = {1, 5, 15, 60};

    // `settingsFile`: the program's own settings (WindowPlacement::defaultFile()); `now`: the
    // clock the live history's times come from.
    TrendsWindow(const TrendHistory& live, QString settingsFile, QWidget* parent = nullptr,
                 std::function<std::int64_t()> now = steadyWallClock);
    ~TrendsWindow() override;

    // Replaces what is shown by the recording in `path`; false, after a message box
    // (unless `quiet`), when it is not one. The reason is in lastError().
    bool openRecording(const QString& path, bool quiet = false);
    void showLive();
    bool showingRecording() const { return recording_.has_value(); }
    const QString& lastError() const { return lastError_; }

    // The plotted values, by their recording names, top first.
    QStringList plottedNames() const;
    void setPlottedNames(const QStringList& names);
    // The span in minutes; 0 for the whole recording.
    int span() const;
    void setSpan(int minutes);
    void setPaused(bool paused);
    bool paused() const { return paused_; }

    platform::TrendChart& chart() { return *chart_; }
    // The picture "Save as PNG…" writes.
    QImage picture() const;
    bool savePicture(const QString& path);

    // Whether the window was open when the program last ended (closing it clears that).
    static bool leftOpen(const QString& settingsFile);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    void fillValueList();
    void valueToggled(QListWidgetItem* entry);
    void spanChosen();
    void scrolled(int value);
    void chooseRecording();
    void choosePictureFile();
    // Moves the range (following the present when live and not paused), the scroll bar and
    // the status text; rearms the timer.
    void refresh();
    void updateList();
    void saveChoices() const;
    void restoreChoices();
    std::int64_t spanMs() const;

    const TrendHistory& live_;
    std::function<std::int64_t()> now_;
    QString settingsFile_;
    std::optional<Recording> recording_;
    QString recordingName_;
    QString folder_;  // where the last recording or picture was
    QString lastError_;
    TrendsSource source_;
    bool paused_ = false;
    std::int64_t end_ = 0;  // the right edge when not following
    int liveSpan_ = 5;      // minutes; a recording opens showing all of it
    bool restoring_ = false;

    QComboBox* span_ = nullptr;
    QPushButton* pause_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* liveButton_ = nullptr;
    QPushButton* save_ = nullptr;
    QLabel* status_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QListWidget* values_ = nullptr;
    platform::TrendChart* chart_ = nullptr;
    QScrollBar* scroll_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace terminal::ui
