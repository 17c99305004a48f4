#pragma once
// What a run over several ports leaves behind: the summary table on the terminal and the same
// as a JSON report a production line can keep (one object per port, the image's name, size
// and SHA-256, and the start and end times).

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

namespace loader::cli {

class BoardRun;

struct ImageFacts {
    QString name;
    QString path;
    qint64 size = 0;
    // Hexadecimal, lower case; empty when the file could not be read.
    QString sha256;

    // The facts of the file at `path` as it is now.
    static ImageFacts of(const QString& path);
};

class GangReport {
public:
    GangReport(ImageFacts image, QDateTime started);

    // The image's facts, taken once the run starts; the start time stays.
    void setImage(ImageFacts image) { image_ = std::move(image); }

    // The table: port, device, identification line, bytes, seconds, result with reason. With
    // `columns` above 0 (a terminal) no line is wider: long ports and devices are shortened
    // from the left, a long identification cut, the result wrapped onto lines of its own
    // column. With 0 (a log) every cell stays whole; the JSON always has it whole.
    QString table(const std::vector<std::unique_ptr<BoardRun>>& boards, int columns = 0) const;
    // The JSON document, indented.
    QByteArray json(const std::vector<std::unique_ptr<BoardRun>>& boards, const QDateTime& ended,
                    int status) const;
    // Writes the JSON to `path` whole or not at all; the reason on failure, else empty.
    QString write(const QString& path, const std::vector<std::unique_ptr<BoardRun>>& boards,
                  const QDateTime& ended, int status) const;

    // UTC with milliseconds: "2024-05-02T09:14:03.250Z".
    static QString isoTime(const QDateTime& time);

private:
    ImageFacts image_;
    QDateTime started_;
};

}  // namespace loader::cli
