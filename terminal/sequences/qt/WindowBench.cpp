#include "terminal/sequences/qt/WindowBench.h"

#include <QAbstractButton>

#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/ModeBoxes.h"
#include "terminal/dashboard/qt/DashboardWindow.h"
#include "terminal/sequences/EventMessage.h"

namespace terminal::sequences {

WindowBench::WindowBench(ui::DashboardWindow& window)
    : window_(window),
      commands_(window.core(), *this),
      process_(&window, [this](int code, const std::string& output) {
          if (runner_ != nullptr) {
              runner_->programFinished(code, output);
          }
      }) {
    window_.core().addObserver(this);
}

WindowBench::~WindowBench() {
    window_.core().removeObserver(this);
}

void WindowBench::attach(SequenceRunner* runner, const std::filesystem::path& folder) {
    runner_ = runner;
    folder_ = folder;
}

std::string WindowBench::command(const std::string& line) {
    refusal_.clear();
    commands_.onLine(line);
    return refusal_;
}

void WindowBench::answer(const std::string& line) {
    if (isErrorEvent(line)) {
        refusal_ = eventMessage(line);
    }
}

LinkState WindowBench::linkState() {
    return window_.core().linkState();
}

const VehicleSnapshot& WindowBench::shown() {
    return window_.core().shown();
}

const DashboardState& WindowBench::panel() {
    return window_.core().dashboard();
}

void WindowBench::startProgram(const std::string& command) {
    process_.start(folder_, command);
}

void WindowBench::stopProgram() {
    process_.stop();
}

bool WindowBench::askOperator(const std::string& question) {
    if (!onAsk) {
        return false;
    }
    onAsk(question);
    return true;
}

bool WindowBench::modeChecked(int controlId) {
    return window_.core().dashboard().*modeFieldOf(controlId);
}

// As the click toggles the box before its handler runs; setChecked sends nothing itself.
void WindowBench::checkMode(int controlId, bool on) {
    if (auto* box = window_.controls().get<QAbstractButton>(controlId)) {
        box->setChecked(on);
    }
}

void WindowBench::moveSlider(double position) {
    window_.setSliderPosition(position);
}

void WindowBench::acknowledged(Acknowledgement which) {
    if (runner_ != nullptr) {
        runner_->acknowledged(which);
    }
}

void WindowBench::statusShown(const VehicleSnapshot& /*shown*/, const DashboardState& /*panel*/) {
    if (runner_ != nullptr) {
        runner_->statusShown();
    }
}

}  // namespace terminal::sequences
