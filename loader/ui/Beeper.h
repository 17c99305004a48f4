#pragma once
// The end-of-run beep: a sine tone of a given pitch and length on the sound output, or the
// system bell where there is no usable output. It plays in the background, so the window
// stays responsive, and always reports `finished` (a safety timer ends a stuck output).

#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <memory>

class QAudioSink;

namespace loader::ui {

class Beeper : public QObject {
    Q_OBJECT

public:
    explicit Beeper(QObject* parent = nullptr);
    ~Beeper() override;

    // Starts a tone of `hz` for `ms`; a tone still playing is cut short.
    void beep(int hz, int ms);
    bool isPlaying() const { return playing_; }
    // True when the last beep fell back to the system bell.
    bool usedSystemBell() const { return usedBell_; }

    // Samples of a sine tone, 16-bit signed, `channels` interleaved, faded in and out so it
    // starts and stops without a click.
    static QByteArray sineTone(int hz, int ms, int sampleRate, int channels);

signals:
    void finished();

private:
    bool startSink(int hz, int ms);
    void stop();
    void systemBell();

    std::unique_ptr<QAudioSink> sink_;
    QBuffer buffer_;
    QByteArray samples_;
    QTimer safety_;
    bool playing_ = false;
    bool usedBell_ = false;
};

}  // namespace loader::ui
