#pragma once
// The Trends window: the chosen values as plots over one time axis, live from the session's
// history (following the present until paused) or from a recording opened in it, which then
// replaces the live view until "Live" is pressed. The value list is the recording's own list
// of numeric columns. Not modal; the chosen values, the span, the splitter, the window's
// place and whether it was open when the program ended are kept in the program's settings.
//
// For measuring: two cursors, A and B, with the time between them and each value's change
// read out under the plots; zoom and pan on the time axis (never past the hour the history
// holds, or the recording's ends), Home back to the span's live view; the live view follows
// the present only while its right edge is now. What is visible can be exported as a
// recording or saved as a picture.

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "terminal/trends/Recording.h"
#include "terminal/trends/TrendFeed.h"
#include "terminal/trends/TrendHistory.h"
#include "terminal/trends/TrendView.h"
#include "terminal/trends/qt/TrendsSource.h"

class QAction;
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
    static constexpr const char* exportCaption = "Export visible range…";
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

    // The measuring cursors: `b` false for A. Escape clears both.
    void placeCursor(std::int64_t time, bool b);
    void clearCursors();
    // What the read-out under the plots says, and (for a screen reader) all of it.
    QString cursorReadout() const;
    QString cursorReadoutInFull() const;
    // Zoom by `factor` (below 1: in) about `anchor`, or about the right edge while following,
    // else cursor A in sight, else the middle; pan by `pages` of the visible span; back to
    // the span's live view (a recording: the span chosen of it).
    void zoomBy(double factor, std::optional<std::int64_t> anchor = std::nullopt);
    void panBy(double pages);
    void zoomToTimes(std::int64_t one, std::int64_t other);
    void goHome();
    // The time axis in seconds from the start instead of clock time.
    void setTimeFromStart(bool fromStart);
    bool timeFromStart() const;
    // Holds a plot's value axis at the range it shows now, or fits it again.
    void setFixedRange(int plot, bool fixed);
    bool fixedRange(int plot) const;
    // "Export visible range…" into `path`; false with the reason in lastError().
    bool exportVisible(const QString& path);
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
    void chooseExportFile();
    void buildActions();
    void showChartMenu(const QPoint& at);
    void toggleFixedRange();
    // Shows `range`; live, following again when its right edge is now.
    void showRange(TimeRange range);
    ViewLimits limits() const;
    TimeRange visibleRange() const;
    void updateReadout();
    std::optional<std::int64_t> startTime() const;
    std::int64_t pointerOrMiddle() const;
    std::vector<std::size_t> exportedItems() const;
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
    std::int64_t end_ = 0;                   // the right edge when not following
    int liveSpan_ = 5;                       // minutes; a recording opens showing all of it
    std::int64_t viewSpan_ = 0;              // what is visible, the span or zoomed
    std::optional<std::int64_t> liveStart_;  // the first time of the history seen
    std::optional<int> menuPlot_;            // the plot a context menu was asked over
    bool restoring_ = false;

    QComboBox* span_ = nullptr;
    QPushButton* pause_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* liveButton_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* export_ = nullptr;
    QComboBox* timeAxis_ = nullptr;
    QLabel* readout_ = nullptr;
    QAction* fixedAction_ = nullptr;
    std::vector<QAction*> chartActions_;
    QLabel* status_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QListWidget* values_ = nullptr;
    platform::TrendChart* chart_ = nullptr;
    QScrollBar* scroll_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace terminal::ui
