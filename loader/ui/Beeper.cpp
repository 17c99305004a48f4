#include "loader/ui/Beeper.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <numbers>

#ifdef TESSALY_HAVE_MULTIMEDIA
#include <unistd.h>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#endif

namespace loader::ui {

namespace {
// How long past the tone's own length the output may take before it is given up.
constexpr int safetyMarginMs = 1500;
constexpr int fadeMs = 5;

#ifdef TESSALY_HAVE_MULTIMEDIA
// Qt reaches the sound output through a PulseAudio server (PipeWire offers one too). Without one,
// asking Qt for an output only prints the sound library's connection errors; so the server is
// looked for first, where the library itself looks: PULSE_SERVER, else the socket in the user's
// runtime folder, else the system-wide one.
bool soundServerReachable() {
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER")) {
        return true;
    }
    QStringList sockets;
    if (!qEnvironmentVariableIsEmpty("PULSE_RUNTIME_PATH")) {
        sockets << qEnvironmentVariable("PULSE_RUNTIME_PATH") + QStringLiteral("/native");
    }
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        sockets << qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse/native");
    } else {
        sockets << QStringLiteral("/run/user/%1/pulse/native").arg(getuid());
    }
    sockets << QStringLiteral("/run/pulse/native") << QStringLiteral("/var/run/pulse/native");
    for (const QString& socket : sockets) {
        if (QFileInfo::exists(socket)) {
            return true;
        }
    }
    return false;
}
#endif
}  // namespace

Beeper::Beeper(QObject* parent) : QObject(parent) {
    safety_.setSingleShot(true);
    connect(&safety_, &QTimer::timeout, this, [this] { stop(); });
}

Beeper::~Beeper() {
    safety_.stop();
#ifdef TESSALY_HAVE_MULTIMEDIA
    if (sink_) {
        sink_->disconnect(this);
        sink_->stop();
    }
#endif
}

QByteArray Beeper::sineTone(int hz, int ms, int sampleRate, int channels) {
    const qint64 frames = static_cast<qint64>(sampleRate) * ms / 1000;
    const qint64 fadeFrames = std::max<qint64>(1, static_cast<qint64>(sampleRate) * fadeMs / 1000);
    QByteArray data(static_cast<qsizetype>(frames * channels * 2), Qt::Uninitialized);
    auto* out = reinterpret_cast<qint16*>(data.data());
    const double step = 2.0 * std::numbers::pi * hz / sampleRate;
    for (qint64 i = 0; i < frames; ++i) {
        double envelope =
            std::min({1.0, double(i) / fadeFrames, double(frames - 1 - i) / fadeFrames});
        auto value =
            static_cast<qint16>(std::lround(std::sin(step * double(i)) * envelope * 16000.0));
        for (int c = 0; c < channels; ++c) {
            *out++ = value;
        }
    }
    return data;
}

void Beeper::beep(int hz, int ms) {
    stop();
    playing_ = true;
    usedBell_ = false;
    if (!startSink(hz, ms)) {
        systemBell();
        return;
    }
    safety_.start(ms + safetyMarginMs);
}

void Beeper::systemBell() {
    usedBell_ = true;
    QApplication::beep();
    playing_ = false;
    // Reported from the event loop, as a played tone would be.
    QTimer::singleShot(0, this, [this] { emit finished(); });
}

bool Beeper::startSink(int hz, int ms) {
#ifdef TESSALY_HAVE_MULTIMEDIA
    if (!soundServerReachable()) {
        return false;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(std::clamp(device.preferredFormat().sampleRate(), 8000, 192000));
    format.setChannelCount(std::max(1, std::min(device.preferredFormat().channelCount(), 2)));
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        format.setSampleRate(48000);
        format.setChannelCount(2);
        if (!device.isFormatSupported(format)) {
            return false;
        }
    }
    if (hz * 2 >= format.sampleRate()) {
        return false;  // the output cannot carry this pitch
    }
    samples_ = sineTone(hz, ms, format.sampleRate(), format.channelCount());
    buffer_.close();
    buffer_.setData(samples_);
    buffer_.open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device, format);
    connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (!sink_) {
            return;
        }
        if (state == QAudio::IdleState) {
            stop();
        } else if (state == QAudio::StoppedState && sink_->error() != QAudio::NoError && playing_) {
            // The device refused after all: the bell still tells the run is over.
            sink_->disconnect(this);
            safety_.stop();
            sink_.release()->deleteLater();
            systemBell();
        }
    });
    sink_->start(&buffer_);
    if (sink_->error() != QAudio::NoError) {
        sink_->disconnect(this);
        sink_.reset();
        return false;
    }
    return true;
#else
    Q_UNUSED(hz);
    Q_UNUSED(ms);
    return false;
#endif
}

void Beeper::stop() {
    safety_.stop();
    const bool wasPlaying = playing_;
    playing_ = false;
#ifdef TESSALY_HAVE_MULTIMEDIA
    if (sink_) {
        sink_->disconnect(this);
        sink_->stop();
        // Not deleted from inside its own signal.
        sink_.release()->deleteLater();
    }
#endif
    if (wasPlaying) {
        emit finished();
    }
}

}  // namespace loader::ui
