#include "loader/cli/GangReport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>

#include "loader/cli/BoardRun.h"

namespace loader::cli {

namespace {

QString resultText(const BoardRun& board) {
    switch (board.result()) {
        case BoardRun::Result::programmed:
            return QStringLiteral("programmed");
        case BoardRun::Result::failed:
            return QStringLiteral("failed");
        case BoardRun::Result::running:
            break;
    }
    return QStringLiteral("unfinished");
}

QString secondsText(double seconds) {
    return QString::number(seconds, 'f', 1);
}

}  // namespace

ImageFacts ImageFacts::of(const QString& path) {
    ImageFacts facts;
    const QFileInfo info(path);
    facts.name = info.fileName();
    facts.path = info.absoluteFilePath();
    facts.size = info.size();
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (file.open(QIODevice::ReadOnly) && hash.addData(&file)) {
        facts.sha256 = QString::fromLatin1(hash.result().toHex());
    }
    return facts;
}

GangReport::GangReport(ImageFacts image, QDateTime started)
    : image_(std::move(image)), started_(std::move(started)) {}

QString GangReport::isoTime(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QString GangReport::table(const std::vector<std::unique_ptr<BoardRun>>& boards) const {
    const QStringList head{"Port", "Device", "Identification", "Bytes", "Seconds", "Result"};
    std::vector<QStringList> rows;
    for (const auto& board : boards) {
        QString result = resultText(*board);
        if (!board->reason().isEmpty()) {
            result += ": " + board->reason();
        }
        rows.push_back({board->port(), board->device().isEmpty() ? "-" : board->device(),
                        board->identLine().isEmpty() ? "-" : board->identLine(),
                        QString::number(board->bytesSent()), secondsText(board->seconds()),
                        result});
    }
    std::array<qsizetype, 5> widths{};
    for (std::size_t c = 0; c < widths.size(); ++c) {
        widths[c] = head[static_cast<qsizetype>(c)].size();
        for (const auto& row : rows) {
            widths[c] = std::max(widths[c], row[static_cast<qsizetype>(c)].size());
        }
    }
    auto line = [&widths](const QStringList& cells) {
        QString text;
        for (std::size_t c = 0; c < widths.size(); ++c) {
            const QString& cell = cells[static_cast<qsizetype>(c)];
            // Numbers line up on the right, texts on the left.
            text += (c == 3 || c == 4 ? cell.rightJustified(widths[c])
                                      : cell.leftJustified(widths[c])) +
                    "  ";
        }
        return text + cells.last() + "\n";
    };
    QString text = line(head);
    for (const auto& row : rows) {
        text += line(row);
    }
    return text;
}

QByteArray GangReport::json(const std::vector<std::unique_ptr<BoardRun>>& boards,
                            const QDateTime& ended, int status) const {
    QJsonArray ports;
    for (const auto& board : boards) {
        ports.append(QJsonObject{
            {"port", board->port()},
            {"device", board->device()},
            {"identification", board->identLine()},
            {"bytes", static_cast<qint64>(board->bytesSent())},
            {"seconds", std::round(board->seconds() * 1000.0) / 1000.0},
            {"result", resultText(*board)},
            {"reason", board->reason()},
        });
    }
    const QJsonObject report{
        {"image", QJsonObject{{"name", image_.name},
                              {"path", image_.path},
                              {"size", image_.size},
                              {"sha256", image_.sha256}}},
        {"started", isoTime(started_)},
        {"ended", isoTime(ended)},
        {"status", status},
        {"ports", ports},
    };
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}

QString GangReport::write(const QString& path, const std::vector<std::unique_ptr<BoardRun>>& boards,
                          const QDateTime& ended, int status) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    file.write(json(boards, ended, status));
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

}  // namespace loader::cli
