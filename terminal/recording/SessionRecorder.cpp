#include "terminal/recording/SessionRecorder.h"

#include "terminal/recording/DashboardExport.h"

namespace terminal {

SessionRecorder::SessionRecorder(Report report) : report_(std::move(report)) {}

bool SessionRecorder::startCsv(const std::filesystem::path& path) {
    csvPath_ = path;
    if (!csv_.open(path) || !csv_.writeRow(dashboardCsvHeader())) {
        reportFailure("Cannot record to CSV", csv_.error());
        return false;
    }
    return true;
}

void SessionRecorder::stopCsv() {
    csv_.close();
}

bool SessionRecorder::startLines(const std::filesystem::path& path) {
    linesStart_ = std::chrono::steady_clock::now();
    if (!lines_.open(path)) {
        reportFailure("Cannot record the line log", lines_.error());
        return false;
    }
    return true;
}

void SessionRecorder::stopLines() {
    lines_.close();
}

void SessionRecorder::bytesReceived(std::string_view bytes) {
    if (lines_.isOpen() && !lines_.received(linesSeconds(), bytes)) {
        reportFailure("The line log has stopped", lines_.error());
    }
}

void SessionRecorder::lineSent(std::string_view line) {
    if (lines_.isOpen() && !lines_.sent(linesSeconds(), line)) {
        reportFailure("The line log has stopped", lines_.error());
    }
}

void SessionRecorder::statusShown(const VehicleSnapshot& shown, const DashboardState& /*panel*/) {
    writeCsvRow(shown);
}

void SessionRecorder::linkChanged(const VehicleSnapshot& shown, const DashboardState& /*panel*/) {
    writeCsvRow(shown);
}

void SessionRecorder::writeCsvRow(const VehicleSnapshot& shown) {
    if (!csv_.isOpen()) {
        return;
    }
    const std::string time = localTimeText(std::chrono::system_clock::now());
    if (!csv_.writeRow(dashboardCsvRow(time, shown))) {
        reportFailure("The recording has stopped", csv_.error());
    }
}

double SessionRecorder::linesSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - linesStart_).count();
}

void SessionRecorder::reportFailure(const std::string& what, const std::string& error) {
    if (report_) {
        report_(what + ": " + error + ".");
    }
}

}  // namespace terminal
