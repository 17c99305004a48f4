#pragma once
// Records a session, as the operator asks: the dashboard to a CSV file (one row per
// simulation status line shown and one at every link-state change) and the raw line to a
// support log (every line received and sent). Either may run alone. A file that cannot be
// created or written stops that recording and is reported once through `report`; the
// session itself never notices.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "terminal/link/SessionObserver.h"
#include "terminal/recording/CsvWriter.h"
#include "terminal/recording/RawLineLog.h"

namespace terminal {

class SessionRecorder : public SessionObserver {
public:
    using Report = std::function<void(const std::string& message)>;

    explicit SessionRecorder(Report report);

    // Start (or restart into another file) writes the header row; false after a report.
    bool startCsv(const std::filesystem::path& path);
    void stopCsv();
    bool recordingCsv() const { return csv_.isOpen(); }
    const std::filesystem::path& csvPath() const { return csvPath_; }

    bool startLines(const std::filesystem::path& path);
    void stopLines();
    bool recordingLines() const { return lines_.isOpen(); }

    void bytesReceived(std::string_view bytes) override;
    void lineSent(std::string_view line) override;
    void statusShown(const VehicleSnapshot& shown, const DashboardState& panel) override;
    void linkChanged(const VehicleSnapshot& shown, const DashboardState& panel) override;

private:
    void writeCsvRow(const VehicleSnapshot& shown);
    double linesSeconds() const;
    void reportFailure(const std::string& what, const std::string& error);

    Report report_;
    CsvWriter csv_;
    std::filesystem::path csvPath_;
    RawLineLog lines_;
    std::chrono::steady_clock::time_point linesStart_;
};

}  // namespace terminal
