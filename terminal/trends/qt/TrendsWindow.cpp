#include "terminal/trends/qt/TrendsWindow.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "platform/chart/qt/ReadOnlyText.h"
#include "platform/chart/qt/TrendChart.h"
#include "platform/layout/qt/DialogLayout.h"
#include "terminal/dashboard/qt/WindowPlacement.h"
#include "terminal/trends/TrendExport.h"
#include "terminal/trends/TrendItems.h"

namespace terminal::ui {

namespace {

const QString valuesKey = QStringLiteral("trends/values");
const QString spanKey = QStringLiteral("trends/span");
const QString splitterKey = QStringLiteral("trends/splitter");
const QString folderKey = QStringLiteral("trends/folder");
const QString placeGroup = QStringLiteral("trends");
const QString openKey = QStringLiteral("trends/open");
const QString timeAxisKey = QStringLiteral("trends/timeFromStart");
constexpr int wholeRecording = 0;
constexpr std::int64_t minuteMs = 60 * 1000;
// A key or a notch of the wheel zooms by this much; a key pans a tenth of what is visible.
constexpr double zoomStep = 0.8;
constexpr double panStep = 0.1;

const QString readoutId = QStringLiteral("trendsCursors");

// A window of its own beside the dashboard: a frame to a screen reader, not a filler; and the
// read-out under the plots, readable as text.
QAccessibleInterface* windowInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(TrendsWindow::staticMetaObject.className())) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    if (className == QLatin1String("QLabel") && object->objectName() == readoutId &&
        qobject_cast<TrendsWindow*>(static_cast<QWidget*>(object)->window())) {
        return new platform::LabelAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

int localOffsetSeconds() {
    return QDateTime::currentDateTime().offsetFromUtc();
}

}  // namespace

TrendsWindow::TrendsWindow(const TrendHistory& live, QString settingsFile, QWidget* parent,
                           std::function<std::int64_t()> now)
    : QWidget(parent, Qt::Window),
      live_(live),
      now_(std::move(now)),
      settingsFile_(std::move(settingsFile)) {
    QAccessible::installFactory(windowInterface);  // Qt keeps one entry per factory
    setWindowTitle(QStringLiteral("Trends – Tessaly"));
    buildControls();
    fillValueList();
    source_.show(&live_, localOffsetSeconds());
    restoreChoices();
    viewSpan_ = spanMs();
    chart_->setSource(&source_);
    updateReadout();
    // A good size for four plots, within the screen's free area; the frame and, where the
    // platform reports no panels (Wayland), a panel's room kept free too.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    QSize size = QSize(1000, 680).boundedTo(screen->availableSize() * 9 / 10);
    if (const QRect room = platform::DialogLayout::roomOnScreen(this); !room.isEmpty()) {
        size = size.boundedTo(room.size());
    }
    resize(size);
    new WindowPlacement(this, settingsFile_, placeGroup);
    refresh();
}

TrendsWindow::~TrendsWindow() {
    chart_->setSource(nullptr);
}

void TrendsWindow::buildControls() {
    auto* bar = new QHBoxLayout;
    auto* spanLabel = new QLabel(QStringLiteral("&Span:"), this);
    span_ = new QComboBox(this);
    span_->setObjectName(QStringLiteral("trendsSpan"));
    spanLabel->setBuddy(span_);
    for (const int minutes : spanMinutes) {
        span_->addItem(QStringLiteral("%1 min").arg(minutes), minutes);
    }
    pause_ = new QPushButton(QStringLiteral("&Pause"), this);
    pause_->setObjectName(QStringLiteral("trendsPause"));
    pause_->setCheckable(true);
    open_ = new QPushButton(QString::fromUtf8(openCaption), this);
    open_->setObjectName(QStringLiteral("trendsOpen"));
    open_->setShortcut(QKeySequence::Open);
    liveButton_ = new QPushButton(QStringLiteral("&Live"), this);
    liveButton_->setObjectName(QStringLiteral("trendsLive"));
    save_ = new QPushButton(QString::fromUtf8(saveCaption), this);
    save_->setObjectName(QStringLiteral("trendsSave"));
    save_->setShortcut(QKeySequence::Save);
    export_ = new QPushButton(QString::fromUtf8(exportCaption), this);
    export_->setObjectName(QStringLiteral("trendsExport"));
    export_->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    export_->setAccessibleName(QStringLiteral("Export visible range"));
    export_->setToolTip(
        QStringLiteral("The visible time range of the plotted values as a CSV "
                       "recording (Ctrl+E)"));
    auto* timeLabel = new QLabel(QStringLiteral("&Time:"), this);
    timeAxis_ = new QComboBox(this);
    timeAxis_->setObjectName(QStringLiteral("trendsTimeAxis"));
    timeAxis_->setAccessibleName(QStringLiteral("Time axis"));
    timeAxis_->addItem(QStringLiteral("Clock time"));
    timeAxis_->addItem(QStringLiteral("Seconds from start"));
    timeLabel->setBuddy(timeAxis_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("trendsStatus"));
    bar->addWidget(spanLabel);
    bar->addWidget(span_);
    bar->addWidget(pause_);
    bar->addSpacing(fontMetrics().height());
    bar->addWidget(open_);
    bar->addWidget(liveButton_);
    bar->addWidget(save_);
    bar->addWidget(export_);
    bar->addSpacing(fontMetrics().height());
    bar->addWidget(timeLabel);
    bar->addWidget(timeAxis_);
    bar->addStretch(1);
    bar->addWidget(status_);

    values_ = new QListWidget(this);
    values_->setObjectName(QStringLiteral("trendsValues"));
    values_->setAccessibleName(QStringLiteral("Values to plot"));
    values_->verticalScrollBar()->setAccessibleName(QStringLiteral("Values to plot, scroll bar"));
    values_->horizontalScrollBar()->setAccessibleName(
        QStringLiteral("Values to plot, sideways scroll bar"));
    chart_ = new platform::TrendChart(this);
    chart_->setObjectName(QStringLiteral("trendsChart"));
    chart_->setEmptyText(QStringLiteral("Tick the values to plot in the list on the left."));
    chart_->setFocusPolicy(Qt::StrongFocus);
    chart_->setContextMenuPolicy(Qt::CustomContextMenu);
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setObjectName(QStringLiteral("trendsScroll"));
    scroll_->setAccessibleName(QStringLiteral("Earlier or later"));
    // Named before it has a parent, so its accessible interface is the read-out's from the
    // first look.
    readout_ = new QLabel;
    readout_->setObjectName(readoutId);
    readout_->setParent(this);
    readout_->setWordWrap(true);
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    readout_->setFocusPolicy(Qt::TabFocus);
    readout_->setContentsMargins(fontMetrics().height() / 3, 2, 0, 2);
    auto* plots = new QWidget(this);
    auto* plotsLayout = new QVBoxLayout(plots);
    plotsLayout->setContentsMargins(0, 0, 0, 0);
    plotsLayout->setSpacing(0);
    plotsLayout->addWidget(chart_, 1);
    plotsLayout->addWidget(scroll_);
    plotsLayout->addWidget(readout_);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->addWidget(values_);
    splitter_->addWidget(plots);
    splitter_->setStretchFactor(1, 1);
    // Every part named for a screen reader, the containers and lists too.
    plots->setAccessibleName(QStringLiteral("Plots"));
    splitter_->setAccessibleName(QStringLiteral("Values and plots"));
    for (int i = 0; i < splitter_->count(); ++i) {
        splitter_->handle(i)->setAccessibleName(QStringLiteral("Divider"));
    }
    span_->view()->setAccessibleName(QStringLiteral("Spans"));
    timeAxis_->view()->setAccessibleName(QStringLiteral("Time axes"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(splitter_, 1);

    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &TrendsWindow::refresh);
    connect(span_, &QComboBox::activated, this, &TrendsWindow::spanChosen);
    connect(pause_, &QPushButton::toggled, this, &TrendsWindow::setPaused);
    connect(open_, &QPushButton::clicked, this, &TrendsWindow::chooseRecording);
    connect(liveButton_, &QPushButton::clicked, this, &TrendsWindow::showLive);
    connect(save_, &QPushButton::clicked, this, &TrendsWindow::choosePictureFile);
    connect(values_, &QListWidget::itemChanged, this, &TrendsWindow::valueToggled);
    connect(scroll_, &QScrollBar::valueChanged, this, &TrendsWindow::scrolled);
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { saveChoices(); });
    connect(export_, &QPushButton::clicked, this, &TrendsWindow::chooseExportFile);
    connect(timeAxis_, &QComboBox::activated, this,
            [this](int index) { setTimeFromStart(index == 1); });
    connect(chart_, &platform::TrendChart::cursorAsked, this, &TrendsWindow::placeCursor);
    connect(chart_, &platform::TrendChart::panAsked, this, [this](std::int64_t shift) {
        showRange(terminal::panBy(visibleRange(), shift, limits()));
    });
    connect(chart_, &platform::TrendChart::zoomToAsked, this, &TrendsWindow::zoomToTimes);
    connect(
        chart_, &platform::TrendChart::zoomAsked, this,
        [this](std::int64_t anchor, double steps) { zoomBy(std::pow(zoomStep, steps), anchor); });
    connect(chart_, &QWidget::customContextMenuRequested, this, &TrendsWindow::showChartMenu);
    buildActions();
}

void TrendsWindow::buildActions() {
    // Keys of the plots, when they have the focus; the context menu lists them all.
    const auto add = [this](const char* id, const QString& text, const QList<QKeySequence>& keys,
                            auto slot) {
        auto* action = new QAction(text, chart_);
        action->setObjectName(QString::fromLatin1(id));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, slot);
        chart_->addAction(action);
        chartActions_.push_back(action);
        return action;
    };
    add("trendsCursorA", QStringLiteral("Set cursor A"), {QKeySequence(Qt::Key_A)},
        [this] { placeCursor(pointerOrMiddle(), false); });
    add("trendsCursorB", QStringLiteral("Set cursor B"), {QKeySequence(Qt::Key_B)},
        [this] { placeCursor(pointerOrMiddle(), true); });
    add("trendsClearCursors", QStringLiteral("Clear cursors"), {QKeySequence(Qt::Key_Escape)},
        [this] { clearCursors(); });
    add("trendsZoomIn", QStringLiteral("Zoom in"),
        {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal), QKeySequence::ZoomIn},
        [this] { zoomBy(zoomStep); });
    add("trendsZoomOut", QStringLiteral("Zoom out"),
        {QKeySequence(Qt::Key_Minus), QKeySequence::ZoomOut}, [this] { zoomBy(1 / zoomStep); });
    add("trendsPanLeft", QStringLiteral("Earlier"), {QKeySequence(Qt::Key_Left)},
        [this] { panBy(-panStep); });
    add("trendsPanRight", QStringLiteral("Later"), {QKeySequence(Qt::Key_Right)},
        [this] { panBy(panStep); });
    add("trendsHome", QStringLiteral("Live view"), {QKeySequence(Qt::Key_Home)},
        [this] { goHome(); });
    fixedAction_ = add("trendsFixedRange", QStringLiteral("Fixed value range"),
                       {QKeySequence(Qt::Key_F)}, [this] { toggleFixedRange(); });
    fixedAction_->setCheckable(true);
}

void TrendsWindow::showChartMenu(const QPoint& at) {
    menuPlot_ = chart_->plotAt(at);
    fixedAction_->setEnabled(menuPlot_.has_value());
    fixedAction_->setChecked(menuPlot_ && fixedRange(*menuPlot_));
    QMenu menu(this);
    for (QAction* action : chartActions_) {
        menu.addAction(action);
        if (action->objectName() == QLatin1String("trendsClearCursors") ||
            action->objectName() == QLatin1String("trendsHome")) {
            menu.addSeparator();
        }
    }
    menu.exec(chart_->mapToGlobal(at));
    menuPlot_.reset();
    fixedAction_->setEnabled(true);
}

void TrendsWindow::toggleFixedRange() {
    // The plot the menu was opened over, else the one under the pointer, else the top one.
    std::optional<int> plot = menuPlot_;
    if (!plot) {
        plot = chart_->plotAt(chart_->mapFromGlobal(QCursor::pos()));
    }
    if (!plot && source_.plotCount() > 0) {
        plot = 0;
    }
    if (plot) {
        setFixedRange(*plot, !fixedRange(*plot));
    }
}

void TrendsWindow::setFixedRange(int plot, bool fixed) {
    if (plot < 0 || plot >= source_.plotCount()) {
        return;
    }
    const std::size_t item = source_.items()[static_cast<std::size_t>(plot)];
    if (!fixed) {
        source_.setFixedScale(item, std::nullopt);
    } else if (const auto shown = chart_->scaleShown(plot)) {
        source_.setFixedScale(item, shown);
    }
    chart_->update();
}

bool TrendsWindow::fixedRange(int plot) const {
    return plot >= 0 && plot < source_.plotCount() &&
           source_.fixedScaleOf(source_.items()[static_cast<std::size_t>(plot)]).has_value();
}

std::int64_t TrendsWindow::pointerOrMiddle() const {
    const QPoint at = chart_->mapFromGlobal(QCursor::pos());
    if (chart_->underMouse() && chart_->plotAt(at)) {
        return chart_->timeAtX(at.x());
    }
    return chart_->from() + (chart_->to() - chart_->from()) / 2;
}

void TrendsWindow::placeCursor(std::int64_t time, bool b) {
    chart_->setCursors(b ? chart_->cursorA() : std::optional(time),
                       b ? std::optional(time) : chart_->cursorB());
    updateReadout();
}

void TrendsWindow::clearCursors() {
    chart_->setCursors(std::nullopt, std::nullopt);
    updateReadout();
}

QString TrendsWindow::cursorReadout() const {
    return readout_->text();
}

QString TrendsWindow::cursorReadoutInFull() const {
    return readout_->accessibleDescription();
}

void TrendsWindow::updateReadout() {
    const std::optional<std::int64_t> a = chart_->cursorA();
    const std::optional<std::int64_t> b = chart_->cursorB();
    if (!a && !b) {
        readout_->setText(QStringLiteral(
            "Click: cursor A, Shift+click: cursor B. Wheel: zoom, drag: pan, Ctrl+drag: zoom "
            "to the stretch, Home: live view."));
        readout_->setAccessibleDescription(QString());
        return;
    }
    QStringList times;
    if (a) {
        times << QStringLiteral("A ") + chart_->cursorTimeText(*a);
    }
    if (b) {
        times << QStringLiteral("B ") + chart_->cursorTimeText(*b);
    }
    if (const auto span = cursorSpan(a, b)) {
        times << QStringLiteral("Δt %1 s").arg(static_cast<double>(*span) / 1000, 0, 'f', 3);
    }
    QStringList shortParts{times.join(QStringLiteral("   "))};
    QStringList fullParts = shortParts;
    for (int plot = 0; plot < source_.plotCount(); ++plot) {
        const QString both = source_.cursorText(plot, a, b);
        fullParts << source_.caption(plot) + QStringLiteral(": ") + both;
        const qsizetype delta = both.indexOf(QStringLiteral("Δ "));
        if (delta >= 0) {
            shortParts << source_.caption(plot) + QLatin1Char(' ') + both.mid(delta);
        }
    }
    readout_->setText(shortParts.join(QStringLiteral(" · ")));
    readout_->setAccessibleDescription(fullParts.join(QStringLiteral("; ")));
}

ViewLimits TrendsWindow::limits() const {
    if (recording_) {
        std::int64_t first = 0;
        std::int64_t last = 1;
        if (recording_->size() > 0) {
            first = recording_->time(0);
            last = recording_->time(recording_->size() - 1) + 1;
        }
        return {first, std::max(last, first + spanMs())};
    }
    const std::int64_t present = now_();
    return {present - TrendHistory::hourMs, present};
}

TimeRange TrendsWindow::visibleRange() const {
    return {chart_->from(), chart_->to()};
}

void TrendsWindow::showRange(TimeRange range) {
    viewSpan_ = range.span();
    if (!recording_) {
        const bool following = range.to >= now_();
        if (!following) {
            end_ = range.to;
        }
        paused_ = !following;
        const QSignalBlocker quiet(pause_);
        pause_->setChecked(paused_);
    } else {
        end_ = range.to;
    }
    refresh();
}

void TrendsWindow::zoomBy(double factor, std::optional<std::int64_t> anchor) {
    const TimeRange shown = visibleRange();
    if (!anchor) {
        // From the keyboard: about the present while following, else about cursor A when it
        // is in sight, else about the middle.
        const std::optional<std::int64_t> a = chart_->cursorA();
        anchor = !recording_ && !paused_                  ? shown.to
                 : a && *a >= shown.from && *a < shown.to ? *a
                                                          : shown.from + shown.span() / 2;
    }
    showRange(zoomAbout(shown, *anchor, factor, limits()));
}

void TrendsWindow::panBy(double pages) {
    const TimeRange shown = visibleRange();
    showRange(terminal::panBy(
        shown, static_cast<std::int64_t>(std::llround(pages * static_cast<double>(shown.span()))),
        limits()));
}

void TrendsWindow::zoomToTimes(std::int64_t one, std::int64_t other) {
    showRange(zoomTo(one, other, limits()));
}

void TrendsWindow::goHome() {
    viewSpan_ = spanMs();
    if (recording_) {
        end_ = limits().last;
        if (viewSpan_ == 0) {
            viewSpan_ = limits().last - limits().first;
        }
        refresh();
    } else {
        setPaused(false);
    }
}

std::optional<std::int64_t> TrendsWindow::startTime() const {
    if (recording_) {
        return recording_->size() > 0 ? std::optional(recording_->time(0)) : std::nullopt;
    }
    return liveStart_;
}

void TrendsWindow::setTimeFromStart(bool fromStart) {
    if (timeAxis_->currentIndex() != (fromStart ? 1 : 0)) {
        timeAxis_->setCurrentIndex(fromStart ? 1 : 0);
    }
    chart_->setTimeOrigin(fromStart ? startTime().value_or(chart_->from())
                                    : std::optional<std::int64_t>());
    updateReadout();
    saveChoices();
}

bool TrendsWindow::timeFromStart() const {
    return timeAxis_->currentIndex() == 1;
}

std::vector<std::size_t> TrendsWindow::exportedItems() const {
    std::vector<std::size_t> items;
    for (const std::size_t item : source_.items()) {
        if (!recording_ || recording_->has(item)) {
            items.push_back(item);
        }
    }
    return items;
}

bool TrendsWindow::exportVisible(const QString& path) {
    if (source_.data() == nullptr) {
        lastError_ = QStringLiteral("Nothing to export.");
        return false;
    }
    std::string error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<std::size_t> rows =
        exportTrendCsv(*source_.data(), exportedItems(), visibleRange(),
                       source_.utcOffsetSeconds() / 60, path.toStdString(), error);
    QApplication::restoreOverrideCursor();
    if (!rows) {
        lastError_ =
            QStringLiteral("Cannot export to %1: %2.").arg(path, QString::fromStdString(error));
        return false;
    }
    return true;
}

void TrendsWindow::chooseExportFile() {
    const QString name = QStringLiteral("Tessaly-trends-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                         QStringLiteral(".csv");
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export visible range"),
        QDir(folder_.isEmpty() ? QDir::homePath() : folder_).filePath(name),
        QStringLiteral("CSV recordings (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    folder_ = QFileInfo(path).absolutePath();
    saveChoices();
    if (!exportVisible(path)) {
        QMessageBox::warning(this, windowTitle(), lastError_);
    }
}

void TrendsWindow::fillValueList() {
    restoring_ = true;  // ticking them here chooses nothing
    const auto& items = trendItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto* entry = new QListWidgetItem(QString::fromStdString(items[i].name), values_);
        entry->setData(Qt::UserRole, static_cast<qulonglong>(i));
        entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        entry->setCheckState(Qt::Unchecked);
    }
    restoring_ = false;
    // Wide enough for the longest name.
    const int width = values_->sizeHintForColumn(0) + 2 * values_->frameWidth() +
                      values_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    splitter_->setSizes({width, 800});
}

QStringList TrendsWindow::plottedNames() const {
    QStringList names;
    for (const std::size_t item : source_.items()) {
        names << QString::fromStdString(trendItems()[item].name);
    }
    return names;
}

void TrendsWindow::setPlottedNames(const QStringList& names) {
    std::vector<std::size_t> items;
    for (const QString& name : names) {
        const auto item = trendItemIndex(name.toStdString());
        if (item && std::find(items.begin(), items.end(), *item) == items.end()) {
            items.push_back(*item);
        }
    }
    source_.setItems(std::move(items));
    updateList();
    chart_->update();
    saveChoices();
}

void TrendsWindow::valueToggled(QListWidgetItem* entry) {
    if (restoring_) {
        return;
    }
    const auto item = static_cast<std::size_t>(entry->data(Qt::UserRole).toULongLong());
    std::vector<std::size_t> items = source_.items();
    std::erase(items, item);
    if (entry->checkState() == Qt::Checked) {
        items.push_back(item);  // a value ticked joins at the bottom
    }
    source_.setItems(std::move(items));
    chart_->update();
    saveChoices();
}

void TrendsWindow::updateList() {
    const bool restoring = restoring_;
    restoring_ = true;
    const std::vector<std::size_t>& plotted = source_.items();
    for (int row = 0; row < values_->count(); ++row) {
        QListWidgetItem* entry = values_->item(row);
        const auto item = static_cast<std::size_t>(entry->data(Qt::UserRole).toULongLong());
        const bool shown = std::find(plotted.begin(), plotted.end(), item) != plotted.end();
        entry->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
        const bool available = !recording_ || recording_->has(item);
        entry->setForeground(available ? palette().text() : palette().placeholderText());
        entry->setToolTip(available ? QString() : QStringLiteral("Not in this recording"));
    }
    restoring_ = restoring;
}

int TrendsWindow::span() const {
    return span_->currentData().toInt();
}

void TrendsWindow::setSpan(int minutes) {
    const int index = span_->findData(minutes);
    if (index < 0) {
        return;
    }
    span_->setCurrentIndex(index);
    spanChosen();
}

void TrendsWindow::spanChosen() {
    if (!recording_) {
        liveSpan_ = span();
        saveChoices();
    }
    viewSpan_ = spanMs();
    if (recording_ && viewSpan_ == 0) {
        end_ = limits().last;
        viewSpan_ = limits().last - limits().first;
    }
    refresh();
}

std::int64_t TrendsWindow::spanMs() const {
    return span() * minuteMs;
}

void TrendsWindow::setPaused(bool paused) {
    if (recording_) {
        return;
    }
    if (paused && !paused_) {
        end_ = now_();
    }
    paused_ = paused;
    if (pause_->isChecked() != paused) {
        pause_->setChecked(paused);
    }
    refresh();
}

void TrendsWindow::scrolled(int value) {
    const std::int64_t first =
        recording_ ? recording_->time(0) : (live_.size() > 0 ? live_.time(0) : now_());
    const std::int64_t end = first + value * std::int64_t{1000} + viewSpan_;
    if (!recording_) {
        // Pulled to the right end: following again; anywhere else stops there.
        if (value == scroll_->maximum()) {
            setPaused(false);
            return;
        }
        paused_ = true;
        pause_->setChecked(true);
    }
    end_ = end;
    refresh();
}

void TrendsWindow::refresh() {
    const ViewLimits bounds = limits();
    const std::int64_t span = viewSpan_;
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::int64_t to = 0;
    if (recording_) {
        if (recording_->size() > 0) {
            first = recording_->time(0);
            last = recording_->time(recording_->size() - 1) + 1;
        }
        const TimeRange range = clampRange({end_ - span, end_}, bounds);
        chart_->setRange(range.from, range.to);
        to = range.to;
    } else {
        const std::int64_t present = now_();
        if (!liveStart_ && live_.size() > 0) {
            liveStart_ = live_.time(0);
            if (timeFromStart()) {
                chart_->setTimeOrigin(liveStart_);
            }
        }
        first = live_.size() > 0 ? std::min(live_.time(0), present) : present;
        last = present;
        const TimeRange range =
            clampRange({(paused_ ? end_ : present) - span, paused_ ? end_ : present}, bounds);
        chart_->setRange(range.from, range.to);
        to = range.to;
    }

    const QSignalBlocker quiet(scroll_);
    if (span == 0 || last - first <= span) {
        scroll_->hide();
    } else {
        scroll_->setRange(0, static_cast<int>((last - first - span + 999) / 1000));
        scroll_->setPageStep(static_cast<int>(span / 1000));
        scroll_->setValue(static_cast<int>((to - span - first) / 1000));
        scroll_->show();
    }

    if (recording_) {
        QString text = QStringLiteral("%1: %L2 rows").arg(recordingName_).arg(recording_->size());
        if (recording_->skippedRows() > 0) {
            text += QStringLiteral(", %L1 left out").arg(recording_->skippedRows());
        }
        if (recording_->disorder().rows > 0) {
            text += QStringLiteral(", %L1 out of time order (put in order)")
                        .arg(recording_->disorder().rows);
        }
        status_->setText(text);
        timer_->stop();
    } else {
        status_->setText(paused_ ? QStringLiteral("Live, paused") : QStringLiteral("Live"));
        // Following: a step each time the present moves a pixel column on, but no more than
        // ten a second; a strip chart needs no more, and each step repaints every plot.
        const double columns = std::max(1.0, chart_->width() * chart_->devicePixelRatioF());
        const int interval =
            paused_
                ? 1000
                : static_cast<int>(std::clamp(static_cast<double>(span) / columns, 100.0, 1000.0));
        if (isVisible()) {
            if (!timer_->isActive() || timer_->interval() != interval) {
                timer_->start(interval);
            }
        } else {
            timer_->stop();
        }
    }
    pause_->setEnabled(!recording_);
    liveButton_->setEnabled(recording_.has_value());
}

bool TrendsWindow::openRecording(const QString& path, bool quiet) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::string error;
    std::optional<Recording> read = readRecording(path.toStdString(), error);
    QApplication::restoreOverrideCursor();
    const QFileInfo file(path);
    folder_ = file.absolutePath();
    if (!read) {
        lastError_ =
            file.fileName() + QLatin1Char(' ') + QString::fromStdString(error) + QLatin1Char('.');
        saveChoices();
        if (!quiet) {
            QMessageBox::warning(this, windowTitle(), lastError_);
        }
        return false;
    }
    // The live view or the last recording goes whole: nothing of two sessions is mixed.
    source_.show(nullptr, 0);
    recording_ = std::move(read);
    recordingName_ = file.fileName();
    source_.show(&*recording_, recording_->utcOffsetMinutes() * 60);
    end_ = recording_->size() > 0 ? recording_->time(recording_->size() - 1) + 1 : 0;
    if (span_->findData(wholeRecording) < 0) {
        span_->addItem(QStringLiteral("All"), wholeRecording);
    }
    span_->setCurrentIndex(span_->findData(wholeRecording));
    viewSpan_ = limits().last - limits().first;
    chart_->setCursors(std::nullopt, std::nullopt);
    if (timeFromStart()) {
        chart_->setTimeOrigin(startTime().value_or(0));
    }
    updateReadout();
    setWindowTitle(QStringLiteral("Trends – %1 – Tessaly").arg(recordingName_));
    updateList();
    saveChoices();
    refresh();
    return true;
}

void TrendsWindow::showLive() {
    source_.show(&live_, localOffsetSeconds());
    recording_.reset();
    recordingName_.clear();
    span_->removeItem(span_->findData(wholeRecording));
    span_->setCurrentIndex(std::max(0, span_->findData(liveSpan_)));
    viewSpan_ = spanMs();
    chart_->setCursors(std::nullopt, std::nullopt);
    if (timeFromStart()) {
        chart_->setTimeOrigin(startTime().value_or(now_()));
    }
    updateReadout();
    setWindowTitle(QStringLiteral("Trends – Tessaly"));
    updateList();
    refresh();
}

void TrendsWindow::chooseRecording() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open recording"), folder_.isEmpty() ? QDir::homePath() : folder_,
        QStringLiteral("CSV recordings (*.csv);;All files (*)"));
    if (!path.isEmpty()) {
        openRecording(path);
    }
}

QImage TrendsWindow::picture() const {
    const QString what = recording_ ? recordingName_ : QStringLiteral("Tessaly, live");
    return chart_->renderImage(
        chart_->size(), rangeTitle(what, chart_->from(), chart_->to(), source_.utcOffsetSeconds()),
        chart_->devicePixelRatioF());
}

bool TrendsWindow::savePicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !picture().save(&file, "PNG")) {
        lastError_ = QStringLiteral("Cannot save %1: %2.").arg(path, file.errorString());
        return false;
    }
    return true;
}

void TrendsWindow::choosePictureFile() {
    const QString name = QStringLiteral("Tessaly-trends-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                         QStringLiteral(".png");
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save as PNG"),
        QDir(folder_.isEmpty() ? QDir::homePath() : folder_).filePath(name),
        QStringLiteral("PNG pictures (*.png)"));
    if (path.isEmpty()) {
        return;
    }
    folder_ = QFileInfo(path).absolutePath();
    saveChoices();
    if (!savePicture(path)) {
        QMessageBox::warning(this, windowTitle(), lastError_);
    }
}

void TrendsWindow::saveChoices() const {
    if (restoring_) {
        return;
    }
    QSettings settings(settingsFile_, QSettings::IniFormat);
    settings.setValue(valuesKey, plottedNames());
    settings.setValue(spanKey, liveSpan_);
    settings.setValue(splitterKey, splitter_->saveState());
    settings.setValue(folderKey, folder_);
    settings.setValue(timeAxisKey, timeAxis_->currentIndex() == 1);
}

void TrendsWindow::restoreChoices() {
    const QSettings settings(settingsFile_, QSettings::IniFormat);
    restoring_ = true;
    if (settings.contains(valuesKey)) {
        setPlottedNames(settings.value(valuesKey).toStringList());
    } else {
        source_.setItems(defaultTrendItems());
    }
    liveSpan_ = settings.value(spanKey, liveSpan_).toInt();
    if (span_->findData(liveSpan_) < 0) {
        liveSpan_ = 5;
    }
    span_->setCurrentIndex(span_->findData(liveSpan_));
    splitter_->restoreState(settings.value(splitterKey).toByteArray());
    folder_ = settings.value(folderKey).toString();
    timeAxis_->setCurrentIndex(settings.value(timeAxisKey, false).toBool() ? 1 : 0);
    restoring_ = false;
    updateList();
}

void TrendsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QSettings(settingsFile_, QSettings::IniFormat).setValue(openKey, true);
    refresh();
}

void TrendsWindow::closeEvent(QCloseEvent* event) {
    QSettings(settingsFile_, QSettings::IniFormat).setValue(openKey, false);
    QWidget::closeEvent(event);
}

bool TrendsWindow::leftOpen(const QString& settingsFile) {
    return QSettings(settingsFile, QSettings::IniFormat).value(openKey, false).toBool();
}

void TrendsWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_->stop();
}

}  // namespace terminal::ui
