#include "terminal/sequences/qt/RunReports.h"

#include <QDateTime>
#include <fstream>
#include <string>

#include "terminal/sequences/qt/RunPlot.h"

namespace terminal::sequences {

namespace {

bool writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

std::filesystem::path defaultReportFolder(const std::filesystem::path& file) {
    const std::string stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
    return file.parent_path() / (file.stem().string() + "-" + stamp);
}

bool writeRunReports(const std::filesystem::path& folder, RunReport report, std::int64_t startMs) {
    report.plotBase64 =
        runPlotPng(folder / "recording.csv", report, startMs).toBase64().toStdString();
    // Every file is tried, so one that cannot be written costs only itself.
    bool written = writeFile(folder / "junit.xml", junitXml(report));
    written = writeFile(folder / "report.txt", textReport(report)) && written;
    written = writeFile(folder / "report.json", jsonReport(report)) && written;
    written = writeFile(folder / "report.html", htmlReport(report)) && written;
    return written;
}

}  // namespace terminal::sequences
