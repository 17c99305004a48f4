#include "terminal/dashboard/qt/DashboardWindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <exception>

#include "platform/clock/Clock.h"
#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "platform/instruments/qt/CiLedRectangleX.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/qt/AboutItem.h"
#include "terminal/dashboard/qt/AboutSequence.h"
#include "terminal/dashboard/qt/DashboardAccessibleNames.h"
#include "terminal/dashboard/qt/DashboardLayout.h"
#include "terminal/dashboard/qt/DashboardScaling.h"
#include "terminal/dashboard/qt/DashboardTabOrder.h"
#include "terminal/dashboard/qt/PanelTransfer.h"
#include "terminal/dashboard/qt/ProgramVersion.h"
#include "terminal/dashboard/qt/WindowPlacement.h"
#include "terminal/link/qt/LinkStatusBar.h"
#include "terminal/link/qt/PortList.h"
#include "terminal/link/qt/RemoteControlWiring.h"
#include "terminal/recording/ExportNames.h"
#include "terminal/recording/qt/ClipboardCopy.h"
#include "terminal/recording/qt/SessionRecording.h"
#include "terminal/sequences/qt/SequenceItem.h"
#include "terminal/trends/qt/TrendsItem.h"

namespace terminal::ui {

namespace {

const QColor limeGreen(0, 255, 0);

}  // namespace

DashboardWindow::DashboardWindow(const std::filesystem::path& settingsFile, QWidget* parent)
    : DashboardWindow(settingsFile, {}, parent) {}

DashboardWindow::DashboardWindow(const std::filesystem::path& settingsFile,
                                 const std::filesystem::path& formerSettingsFile, QWidget* parent)
    : QDialog(parent),
      comm_(this),
      engineDm1Dialog_(MultiPacketDialog::List::engineDm1, this),
      engineDm2Dialog_(MultiPacketDialog::List::engineDm2, this),
      engineConfigurationDialog_(this) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(programTitle());
    buildControls();
    setUpInstruments();
    panel_ = std::make_unique<PanelBoxes>(controls_);

    comm_.setObjectName(QString::number(ids::serialControl));
    // A saturated line arrives a few bytes every millisecond; taken in batches of 8 ms the
    // window wakes an eighth as often, and a frame is 33 ms anyway.
    comm_.setReceivePause(8);
    core_ = std::make_unique<TerminalCore>(*this, comm_, platform::SystemClock::instance(),
                                           settingsFile, formerSettingsFile);
    comm_.setOnComm([this] {
        handleEvent([this] {
            const QScopedValueRollback receiving(receiving_, true);
            core_->onReceive();
        });
    });
    statusBar_ = new LinkStatusBar(this, [this] { return core_->sampleLineStatistics(); });
    placeStatusBar();

    wireLinkControls();
    wireRemoteControls();
    wireTroubleCodeControls();
    aboutItem_ = new AboutItem(this, [this] {
        handleEvent([this] {
            runAboutSequence(this, core_->baudRateChange(), [this] { return !handRefused(); });
        });
    });
    wireRecordingAndCopy();
    trends_ = new TrendsItem(this, *core_, WindowPlacement::defaultFile());
    sequences_ = new sequences::SequenceItem(*this);
    addAction(scaling_->actualSizeAction());
}

DashboardWindow::~DashboardWindow() {
    // No event of the serial control may reach the core while the window is taken down.
    comm_.setOnComm(nullptr);
    // The recording signs off from the core, which goes before the window's children do.
    delete recording_;
    recording_ = nullptr;
    delete trends_;
    trends_ = nullptr;
    delete sequences_;  // a run signs off from the core
    sequences_ = nullptr;
}

void DashboardWindow::buildControls() {
    platform::DialogLayout layout;
    setFont(layout.font());  // the window's size follows the screen (DashboardScaling)
    layout.build(this, dashboardFrames(), controls_);
    layout.build(this, dashboardControls(), controls_);
    fillPortList(controls_.get<QComboBox>(ids::portCombo));
    nameDashboardControls(controls_);
    orderDashboardTabs(controls_);
}

void DashboardWindow::setUpInstruments() {
    for (const DisplaySetup& setup : dashboardDisplays()) {
        auto* display = controls_.get<platform::CiAnalogDisplayX>(setup.id);
        display->setUnitsText(QString::fromUtf8(setup.units));
        display->setPrecision(setup.decimals);
        display->setDigitColor(limeGreen);
    }
    for (const LampSetup& setup : dashboardLamps()) {
        auto* lamp = controls_.get<platform::CiLedRectangleX>(setup.id);
        if (setup.activeColour.isValid()) {
            lamp->setActiveColor(setup.activeColour);
        }
        lamp->setInactiveColor(Qt::black);
    }
    controls_.get<platform::CiSliderX>(ids::levelSlider)->setMaximum(100);
}

void DashboardWindow::wireLinkControls() {
    auto onClick = [this](int id, void (TerminalCore::*operation)()) {
        connect(controls_.get<QPushButton>(id), &QPushButton::clicked, this,
                [this, operation] { handleEvent([this, operation] { ((*core_).*operation)(); }); });
    };
    onClick(ids::connectButton, &TerminalCore::connect);
    onClick(ids::disconnectButton, &TerminalCore::disconnect);
    onClick(ids::exitButton, &TerminalCore::exitProgram);
}

void DashboardWindow::wireRemoteControls() {
    ui::wireRemoteControls(controls_, this, core_->remoteControl(),
                           [this](const std::function<void()>& handler) {
                               if (!handRefused()) {
                                   handleEvent(handler);
                               }
                           });
}

void DashboardWindow::wireTroubleCodeControls() {
    connect(
        controls_.get<QPushButton>(ids::engineDm1MultiPacketButton), &QPushButton::clicked, this,
        [this] {
            handleEvent([this] { engineDm1Dialog_.showList(core_->multiPacketLists().engineDm1); });
        });
    connect(
        controls_.get<QPushButton>(ids::engineDm2MultiPacketButton), &QPushButton::clicked, this,
        [this] {
            handleEvent([this] { engineDm2Dialog_.showList(core_->multiPacketLists().engineDm2); });
        });
    // Opened modally each time; its result means nothing.
    connect(controls_.get<QPushButton>(ids::engineConfigurationButton), &QPushButton::clicked, this,
            [this] { handleEvent([this] { engineConfigurationDialog_.exec(); }); });
}

void DashboardWindow::wireRecordingAndCopy() {
    recording_ = new SessionRecording(this, *core_, [this](const std::string& message) {
        showMessage(message, MessageIcon::none);
    });
    copyAllValues_ = addCopyAllValues(this, *core_);
    for (const TroubleCodeBoxName& name : troubleCodeBoxes) {
        auto* box = controls_.get<QLineEdit>(name.id);
        keepTroubleCodeFontFitted(box, troubleCodeWidestRow);
        makeTroubleCodeCopyable(
            box, [this, &name] { return troubleCodesShown(name, core_->dashboard()); });
    }
}

bool DashboardWindow::systemCommand(int command) {
    return aboutItem_->systemCommand(command);
}

void DashboardWindow::startSession() {
    handleEvent([this] { core_->startSession(); });
}

bool DashboardWindow::handRefused() {
    const std::string note = handGate_ ? handGate_() : std::string();
    if (note.empty()) {
        return false;
    }
    statusBar_->showMessage(QString::fromStdString(note), 6000);
    // The click has moved its control already; it goes back to what the core knows.
    const DashboardState& state = core_->dashboard();
    const std::pair<int, bool> boxes[] = {{ids::dynamicCheck, state.dynamicOn},
                                          {ids::quietCheck, state.quietOn},
                                          {ids::warningsCheck, state.warningsOn},
                                          {ids::resetEngineDm2Check, state.resetEngineDm2On}};
    for (const auto& [id, on] : boxes) {
        if (auto* box = controls_.get<QAbstractButton>(id)) {
            box->setChecked(on);
        }
    }
    setSliderPosition(core_->shown().level);
    return true;
}

void DashboardWindow::handleEvent(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const platform::SerialError& error) {
        showMessage(error.what(), MessageIcon::none);
    } catch (const std::exception& error) {
        showMessage(error.what(), MessageIcon::none);
    }
}

void DashboardWindow::readPanel(DashboardState& state) {
    panel_->read(state);
}

void DashboardWindow::writePanel(const DashboardState& state) {
    // What the line brings is painted at the next frame; what a button, the link timer or a
    // script changes is seen at once, in one step with the controls it enables.
    panel_->write(state, receiving_);
}

void DashboardWindow::setDisplayValue(int id, double value) {
    if (auto* display = controls_.get<platform::CiAnalogDisplayX>(id)) {
        display->setValue(value);
    }
}

void DashboardWindow::setLampActive(int id, bool lit) {
    if (auto* lamp = controls_.get<platform::CiLedRectangleX>(id)) {
        lamp->setActive(lit);
    }
}

double DashboardWindow::getSliderPosition() {
    return controls_.get<platform::CiSliderX>(ids::levelSlider)->getPosition();
}

void DashboardWindow::setSliderPosition(double position) {
    controls_.get<platform::CiSliderX>(ids::levelSlider)->setPosition(position);
}

void DashboardWindow::enableControl(int id, bool enabled) {
    if (QWidget* control = controls_.widget(id)) {
        control->setEnabled(enabled);
    }
}

bool DashboardWindow::isControlEnabled(int id) {
    QWidget* control = controls_.widget(id);
    return control != nullptr && control->isEnabled();
}

void DashboardWindow::showMessage(const std::string& text, MessageIcon icon) {
    // Timer ticks and received data go on while a message box is open; the same text is not
    // stacked a second time over the one the operator has not yet closed.
    if (messageTap_) {
        messageTap_(text);
    }
    const QString message = QString::fromStdString(text);
    if (messagesOnScreen_.contains(message)) {
        return;
    }
    messagesOnScreen_.insert(message);
    QMessageBox box(icon == MessageIcon::exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    QStringLiteral("Tessaly"), message, QMessageBox::Ok, this);
    box.exec();
    messagesOnScreen_.remove(message);
}

void DashboardWindow::startTimer(int id, int periodMs) {
    QTimer*& timer = timers_[id];
    if (timer == nullptr) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this,
                [this, id] { handleEvent([this, id] { core_->onTimer(id); }); });
    }
    timer->start(periodMs);
}

void DashboardWindow::stopTimer(int id) {
    auto found = timers_.find(id);
    if (found != timers_.end()) {
        found->second->stop();
    }
}

void DashboardWindow::closeWindow() {
    accept();
}

void DashboardWindow::showLinkState(LinkState state, const std::string& port,
                                    const std::string& device) {
    statusBar_->showLinkState(state, QString::fromStdString(port), QString::fromStdString(device));
}

// Below the dashboard, across the window; the window opens fitted to its screen.
void DashboardWindow::placeStatusBar() {
    scaling_ = new DashboardScaling(this, QSize(dashboardWidth, dashboardHeight), statusBar_);
    scaling_->fitToScreen();
}

}  // namespace terminal::ui
