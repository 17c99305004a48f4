#pragma once
// A measuring aid for scripts/bench, off unless the environment asks for it: with
// TESSALY_PROBE=FILE set, the program appends to FILE, with the monotonic clock in
// nanoseconds (the clock other processes on the machine read too):
//   painted NS               the first time any window is painted
//   slider POSITION NS       each time a level slider is painted showing a new position
// It watches paint events from outside the widgets, so nothing of the programs changes.

#include <QObject>
#include <QString>
#include <cstdint>
#include <cstdio>

class QApplication;

namespace platform {

class MeasurementProbe : public QObject {
    Q_OBJECT
public:
    // Installs a probe on `app` when TESSALY_PROBE names a file that can be written.
    static void installFromEnvironment(QApplication& app);

    explicit MeasurementProbe(std::FILE* log, QObject* parent = nullptr);
    ~MeasurementProbe() override;

    static std::int64_t monotonicNanoseconds();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::FILE* log_;
    bool windowPainted_ = false;
    double lastSliderPosition_ = -1.0;
};

}  // namespace platform
