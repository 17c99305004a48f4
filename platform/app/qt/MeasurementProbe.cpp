#include "platform/app/qt/MeasurementProbe.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <cstdlib>
#include <ctime>

#include "platform/instruments/qt/CiSliderX.h"

namespace platform {

void MeasurementProbe::installFromEnvironment(QApplication& app) {
    const char* path = std::getenv("TESSALY_PROBE");
    if (path == nullptr || path[0] == '\0') {
        return;
    }
    std::FILE* log = std::fopen(path, "a");
    if (log == nullptr) {
        return;  // a measuring aid never stops the program
    }
    app.installEventFilter(new MeasurementProbe(log, &app));
}

MeasurementProbe::MeasurementProbe(std::FILE* log, QObject* parent) : QObject(parent), log_(log) {}

MeasurementProbe::~MeasurementProbe() {
    std::fclose(log_);
}

std::int64_t MeasurementProbe::monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool MeasurementProbe::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Paint) {
        return false;
    }
    // Logged as the paint begins: what the event shows is on its way to the screen.
    if (auto* slider = qobject_cast<CiSliderX*>(watched)) {
        const double position = slider->getPosition();
        if (position != lastSliderPosition_) {
            lastSliderPosition_ = position;
            std::fprintf(log_, "slider %g %lld\n", position,
                         static_cast<long long>(monotonicNanoseconds()));
            std::fflush(log_);
        }
    }
    if (!windowPainted_) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window()->isVisible()) {
            windowPainted_ = true;
            std::fprintf(log_, "painted %lld\n", static_cast<long long>(monotonicNanoseconds()));
            std::fflush(log_);
        }
    }
    return false;
}

}  // namespace platform
