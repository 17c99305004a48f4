#include "loader/ui/CLoaderDlg.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>
#include <exception>
#include <filesystem>

#include "loader/core/LoaderIds.h"
#include "loader/ui/AboutBox.h"
#include "loader/ui/LoaderAccessibleNames.h"
#include "loader/ui/LoaderLayout.h"
#include "loader/ui/ProgramInfo.h"
#include "platform/instruments/qt/CiLedRoundX.h"
#include "platform/layout/qt/TextAtPaint.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/SerialErrorText.h"
#include "platform/serial/qt/CMSComm.h"

namespace loader::ui {

namespace {

const char* const speeds[] = {"115200", "57600", "38400", "19200", "14400", "9600"};
constexpr int portCount = 30;
const QString leaveQuestionText =
    QStringLiteral("Programming is in progress. Stop and leave the target unprogrammed?");

// The device a path finally names, when it can be found out.
std::string resolvedDevice(const std::string& path) {
    std::error_code error;
    auto resolved = std::filesystem::canonical(path, error);
    return error ? std::string() : resolved.string();
}

}  // namespace

CLoaderDlg::CLoaderDlg(platform::SerialControl* serial, platform::Clock* clock, QWidget* parent)
    : QDialog(parent),
      serial_(serial),
      clock_(clock != nullptr ? clock : &platform::SystemClock::instance()),
      dialogChooser_(this),
      chooser_(&dialogChooser_) {
    if (serial_ == nullptr) {
        ownComm_ = std::make_unique<platform::CMSComm>();
        ownComm_->setObjectName(QString::number(ids::serialControl));
        serial_ = ownComm_.get();
    }
    link_ = std::make_unique<loader::BootLink>(*serial_, *clock_, *this, image_);

    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(programTitle());
    setWindowIcon(programIcon());
    buildControls();
    wireControls();

    timer_.setInterval(timerPeriodMs);
    connect(&timer_, &QTimer::timeout, this, [this] { onTimer(); });
    serial_->setOnComm([this] { onComm(); });
    refresh();
}

CLoaderDlg::~CLoaderDlg() {
    // No receive event may reach BootLink while the window is taken down.
    serial_->setOnComm(nullptr);
    timer_.stop();
}

void CLoaderDlg::buildControls() {
    platform::DialogLayout layout;
    layout.sizeWindow(this, loaderWidth, loaderHeight);
    layout.build(this, loaderControls(), controls_);
    nameLoaderControls(controls_);
    statusBar_ = new LoaderStatusBar(this);

    auto* ports = controls_.get<QComboBox>(ids::portCombo);
    for (int n = 1; n <= portCount; ++n) {
        ports->addItem(QStringLiteral("COM%1").arg(n));
    }
    auto* speedList = controls_.get<QComboBox>(ids::speedCombo);
    for (const char* speed : speeds) {
        speedList->addItem(QString::fromLatin1(speed));
    }
    auto* waiting = controls_.get<platform::CiLedRoundX>(ids::waitingLamp);
    waiting->setActiveColor(Qt::red);
    waiting->setInactiveColor(Qt::white);
    controls_.get<QProgressBar>(ids::programBar)->setRange(0, 100);
    // The counters and bars change with every echo. Nothing behind them ever changes, so
    // they repaint alone instead of dragging the group boxes behind them along each time.
    for (int id : {ids::totalBytesEdit, ids::bytesSentEdit, ids::eraseBar, ids::programBar,
                   ids::identLineEdit, ids::fileNameEdit}) {
        controls_.widget(id)->setAttribute(Qt::WA_OpaquePaintEvent);
    }
}

void CLoaderDlg::wireControls() {
    auto onClick = [this](int id, void (CLoaderDlg::*handler)()) {
        connect(controls_.get<QPushButton>(id), &QPushButton::clicked, this,
                [this, handler] { (this->*handler)(); });
    };
    onClick(ids::loadFileButton, &CLoaderDlg::onLoadFile);
    onClick(ids::resetButton, &CLoaderDlg::onResetPic);
    onClick(ids::connectButton, &CLoaderDlg::onConnect);
    onClick(ids::programButton, &CLoaderDlg::onProgram);
    onClick(ids::exitButton, &CLoaderDlg::onExit);
    // The About item: there is no system menu to extend on Linux desktops, so it lives in
    // the window's context menu and on F1.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { onSysCommand(ids::aboutCommand); });
}

void CLoaderDlg::handleEvent(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const platform::SerialError& error) {
        showMessage(error.what());
    } catch (const std::exception& error) {
        showMessage(error.what());
    }
}

bool CLoaderDlg::enabled(int id) const {
    QWidget* control = controls_.widget(id);
    return control != nullptr && control->isEnabled();
}

void CLoaderDlg::enable(int id, bool enabled) {
    if (QWidget* control = controls_.widget(id)) {
        control->setEnabled(enabled);
    }
}

void CLoaderDlg::readControls() {
    fileName_ = controls_.get<QLineEdit>(ids::fileNameEdit)->text();
    portText_ = controls_.get<QComboBox>(ids::portCombo)->currentText();
    speedText_ = controls_.get<QComboBox>(ids::speedCombo)->currentText();
}

void CLoaderDlg::refresh() {
    // Runs for every echoed byte: a box whose text is unchanged is left alone, so its text is
    // not laid out and repainted again for nothing.
    auto show = [this](int id, const QString& text) {
        auto* box = controls_.get<QLineEdit>(id);
        if (box->text() != text) {
            box->setText(text);
        }
    };
    // A combo is set only when it shows another text: setting lays its text out anew.
    auto choose = [this](int id, const QString& text) {
        auto* combo = controls_.get<QComboBox>(id);
        if (combo->currentText() != text) {
            combo->setCurrentText(text);
        }
    };
    show(ids::fileNameEdit, fileName_);
    choose(ids::portCombo, portText_);
    // The line is bytes from the target; each one shown as the character it codes in Latin-1,
    // but for its line end, which a one-line box would show as a stray character.
    show(ids::identLineEdit, QString::fromLatin1(link_->identLine().data(),
                                                 static_cast<qsizetype>(link_->identLine().size()))
                                 .remove(QLatin1Char('\r'))
                                 .remove(QLatin1Char('\n')));
    choose(ids::speedCombo, speedText_);
    // The link clears its counts when a run ends; the window keeps the last run's on show.
    if (link_->programming()) {
        shownLength_ = link_->imageLength();
        shownSent_ = link_->sentCount();
    }
    show(ids::totalBytesEdit, QString::number(shownLength_));
    // Changes with every echoed byte: while writing, on the screen it takes its count as the
    // window is painted, not laid out anew for each byte. Any other change is shown at once,
    // in one step with the buttons.
    auto* sent = controls_.get<QLineEdit>(ids::bytesSentEdit);
    const QString count = QString::number(shownSent_);
    if (link_->writing()) {
        platform::setTextAtPaint(sent, count);
    } else {
        platform::setTextNow(sent, count);
    }
    statusBar_->follow(*link_, fileName_, clock_->milliseconds());
}

void CLoaderDlg::chooseFile(const QString& path) {
    image_.setPath(QFile::encodeName(path).toStdString());
    fileName_ = QFile::decodeName(QByteArray::fromStdString(image_.fileName()));
    // Connect comes back only while idle: once identified (Program enabled), a Connect
    // would send the wake byte into a run that waits for Program.
    if (!link_->echoSeen() && !enabled(ids::programButton)) {
        enable(ids::connectButton, true);
    }
    refresh();
}

void CLoaderDlg::setPortText(const QString& text) {
    portText_ = text;
    refresh();
}

void CLoaderDlg::setSpeedText(const QString& text) {
    speedText_ = text;
    refresh();
}

void CLoaderDlg::useDevicePath(const QString& path) {
    devicePath_ = path;
    setPortText(path);
}

void CLoaderDlg::applyDeviceOverride() {
    // A port typed over the path goes back to the port map.
    const bool useDevice = !devicePath_.isEmpty() && portText_ == devicePath_;
    serial_->setDeviceOverride(useDevice ? QFile::encodeName(devicePath_).toStdString()
                                         : std::string());
}

QString CLoaderDlg::portLabel() const {
    std::string device;
    if (ownComm_ && ownComm_->getPortOpen()) {
        device = ownComm_->devicePath().toStdString();
    }
    const bool useDevice = !devicePath_.isEmpty() && portText_ == devicePath_;
    if (useDevice) {
        if (device.empty()) {
            device = resolvedDevice(QFile::encodeName(devicePath_).toStdString());
        }
        const QString shown = QFile::decodeName(QByteArray::fromStdString(device));
        return shown.isEmpty() || shown == devicePath_ ? devicePath_
                                                       : devicePath_ + " (" + shown + ")";
    }
    const int port = loader::BootLink::portNumber(portText_.toStdString());
    if (device.empty()) {
        const auto mapping = platform::PortMap().map(port);
        if (mapping.source != platform::ComPortMapping::Source::none) {
            device = resolvedDevice(mapping.device);
        }
    }
    return QString::fromStdString(platform::portLabel(port, device));
}

void CLoaderDlg::onLoadFile() {
    handleEvent([this] {
        readControls();
        if (!image_.choose(*chooser_)) {
            return;
        }
        fileName_ = QFile::decodeName(QByteArray::fromStdString(image_.fileName()));
        if (!link_->echoSeen() && !enabled(ids::programButton)) {
            enable(ids::connectButton, true);
        }
        refresh();
    });
}

void CLoaderDlg::onResetPic() {
    handleEvent([this] {
        readControls();
        applyDeviceOverride();
        statusBar_->actionStarted(portLabel());
        link_->resetTarget(portText_.toStdString(), speedText_.toStdString());
        statusBar_->resetSent();
    });
}

void CLoaderDlg::onConnect() {
    handleEvent([this] {
        readControls();
        applyDeviceOverride();
        statusBar_->actionStarted(portLabel());
        // Connect starts over: Program waits for the identification it brings.
        enable(ids::programButton, false);
        clearLastRun();
        link_->connect(portText_.toStdString(), speedText_.toStdString());
        enable(ids::resetButton, false);
        refresh();
    });
}

void CLoaderDlg::onProgram() {
    handleEvent([this] {
        readControls();
        applyDeviceOverride();
        statusBar_->actionStarted(portLabel());
        controls_.get<QProgressBar>(ids::programBar)->setRange(0, 100);
        link_->program(portText_.toStdString(), speedText_.toStdString());
        // A refused image leaves the run Identified: another file may be chosen.
        if (link_->programming()) {
            enable(ids::loadFileButton, false);
            showFigures(true);
        }
        refresh();
    });
}

void CLoaderDlg::onTimer() {
    handleEvent([this] {
        readControls();
        applyDeviceOverride();
        link_->timerTick();
    });
}

void CLoaderDlg::onComm() {
    const bool data = serial_->getCommEvent() == platform::comEvReceive;
    handleEvent([this] { link_->onReceive(); });
    if (data) {
        emit dataReceived();
    }
}

bool CLoaderDlg::transferInProgress() const {
    return link_->programming() && (link_->eraseStarted() || link_->writing());
}

bool CLoaderDlg::mayLeave() {
    if (!transferInProgress()) {
        return true;
    }
    if (leaveQuestion_) {
        return leaveQuestion_(leaveQuestionText);
    }
    return QMessageBox::question(this, programName(), leaveQuestionText,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void CLoaderDlg::closePort() {
    handleEvent([this] {
        if (serial_->getPortOpen()) {
            serial_->setPortOpen(false);
        }
    });
}

void CLoaderDlg::onExit() {
    if (!mayLeave()) {
        return;
    }
    closePort();
    accept();
}

void CLoaderDlg::keyPressEvent(QKeyEvent* event) {
    // A stray Escape must not leave a half-written flash behind.
    if (event->key() == Qt::Key_Escape && transferInProgress()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CLoaderDlg::closeEvent(QCloseEvent* event) {
    if (isVisible() && !mayLeave()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CLoaderDlg::onSysCommand(int command) {
    if (command == ids::aboutCommand) {
        showAbout();
    }
}

void CLoaderDlg::showAbout() {
    AboutBox about(this);
    about.exec();
}

void CLoaderDlg::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* about = menu.addAction(QStringLiteral("&About Bootloader..."));
    connect(about, &QAction::triggered, this, [this] { onSysCommand(ids::aboutCommand); });
    menu.exec(event->globalPos());
}

void CLoaderDlg::showMessage(const std::string& text) {
    const QString message = QString::fromStdString(text);
    // A refusal names the file: its path gives way in the status bar before the reason does.
    statusBar_->messageShown(message, QFile::decodeName(QByteArray::fromStdString(image_.path())));
    emit messageShown(message);
    if (messageSink_) {
        messageSink_(message);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, programName(), message, QMessageBox::Ok, this);
    box.exec();
}

bool CLoaderDlg::confirmDamagedImage(const std::string& fault) {
    const QString text = QFile::decodeName(QByteArray::fromStdString(fault));
    const QString question = text + QStringLiteral(
                                        ".\n\nThe file looks damaged, and the target erases its "
                                        "flash before it is written. Program anyway?");
    const bool send = damagedImageQuestion_
                          ? damagedImageQuestion_(text)
                          : QMessageBox::warning(this, programName(), question,
                                                 QMessageBox::Yes | QMessageBox::No,
                                                 QMessageBox::No) == QMessageBox::Yes;
    if (!send) {
        statusBar_->notProgrammed(text, fileName_);
    }
    return send;
}

void CLoaderDlg::setLamp(int lampId, bool on) {
    if (auto* lamp = controls_.get<platform::CiLedRoundX>(lampId)) {
        lamp->setActive(on);
    }
}

void CLoaderDlg::setEraseRange(int max) {
    // A bar with the range 0..0 would show Qt's busy animation; an erase of nothing is empty.
    controls_.get<QProgressBar>(ids::eraseBar)->setRange(0, std::max(max, 1));
}

void CLoaderDlg::setErasePos(int pos) {
    // The end of a run empties the bars; they keep its figures until the next one starts.
    if (!link_->programming()) {
        return;
    }
    auto* bar = controls_.get<QProgressBar>(ids::eraseBar);
    // Qt ignores a value outside the range; a target that sends more than it announced
    // leaves the bar full rather than stuck.
    bar->setValue(std::clamp(pos, bar->minimum(), bar->maximum()));
}

void CLoaderDlg::setWritePos(int pos) {
    if (!link_->programming()) {
        return;
    }
    auto* bar = controls_.get<QProgressBar>(ids::programBar);
    bar->setValue(std::clamp(pos, bar->minimum(), bar->maximum()));
}

// The last run's figures and board go when Connect starts the next run.
void CLoaderDlg::clearLastRun() {
    // Empty as at the start, the erase bar keeping its range until the next erase count.
    controls_.get<QProgressBar>(ids::eraseBar)->reset();
    controls_.get<QProgressBar>(ids::programBar)->reset();
    shownLength_ = 0;
    shownSent_ = 0;
    showFigures(false);
    controls_.get<QLineEdit>(ids::identLineEdit)->clear();
}

// The Programming bar and the byte counters are sensitive while they show a run's figures
// (until then disabled, as laid out): screen readers then read them as live, and the bar
// fills in the same colour as the erase bar.
void CLoaderDlg::showFigures(bool shown) {
    for (int id : {ids::programBar, ids::totalBytesEdit, ids::bytesSentEdit}) {
        enable(id, shown);
    }
}

void CLoaderDlg::startTimer() {
    timer_.start(timerPeriodMs);
}

void CLoaderDlg::stopTimer() {
    timer_.stop();
}

void CLoaderDlg::identifiedNow() {
    enable(ids::programButton, true);
    enable(ids::connectButton, false);
    emit identificationComplete();
}

void CLoaderDlg::eraseBegun() {
    enable(ids::programButton, false);
}

void CLoaderDlg::sessionFinished(bool programmed) {
    enable(ids::connectButton, true);
    enable(ids::loadFileButton, true);
    enable(ids::resetButton, true);
    // Already off after a normal run; after an abandoned one a new run starts at Connect.
    enable(ids::programButton, false);
    statusBar_->runEnded(*link_, programmed, fileName_, clock_->milliseconds());
    if (programmed) {
        beeper_.beep(beepHz, beepMs);
    }
    emit runFinished(programmed);
}

}  // namespace loader::ui
