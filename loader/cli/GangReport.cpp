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
#include "loader/cli/TerminalWidth.h"

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

enum Column { portColumn, deviceColumn, identColumn, bytesColumn, secondsColumn, resultColumn };
const QString gap = QStringLiteral("  ");
constexpr int gaps = 5;  // after each column but the result
// On a terminal, the result keeps at least this many columns before the others give way...
constexpr int resultRoom = 15;
// ...a port or device first keeps this much ("…A50285BI-if00-port0"), the identification
// giving way before it...
constexpr int tellingPath = 20;
// ...and none of them narrows below this.
constexpr int narrowestCell = 12;

// `text` in lines of at most `width`, broken between words; a word longer than a line is
// broken inside.
QStringList wrapped(const QString& text, int width) {
    QStringList lines;
    QString line;
    for (QString word : text.split(' ', Qt::SkipEmptyParts)) {
        while (word.size() > width) {
            if (!line.isEmpty()) {
                lines << line;
                line.clear();
            }
            lines << word.left(width);
            word = word.mid(width);
        }
        if (line.isEmpty()) {
            line = word;
        } else if (line.size() + 1 + word.size() <= width) {
            line += ' ' + word;
        } else {
            lines << line;
            line = word;
        }
    }
    if (!line.isEmpty() || lines.isEmpty()) {
        lines << line;
    }
    return lines;
}

// Narrows the wider of the port and device columns, then the identification, one column at
// a time until the row fits `room` or none can give more.
void narrowToFit(std::array<qsizetype, 5>& widths, const std::array<qsizetype, 5>& narrowest,
                 qsizetype room) {
    auto total = [&widths] {
        qsizetype sum = 0;
        for (qsizetype w : widths) {
            sum += w;
        }
        return sum;
    };
    while (total() > room) {
        const qsizetype pathFloor =
            widths[identColumn] > narrowest[identColumn] ? tellingPath : narrowestCell;
        const bool portGives = widths[portColumn] > std::max(narrowest[portColumn], pathFloor);
        const bool deviceGives =
            widths[deviceColumn] > std::max(narrowest[deviceColumn], pathFloor);
        if (portGives || deviceGives) {
            const bool port =
                portGives && (!deviceGives || widths[portColumn] >= widths[deviceColumn]);
            --widths[port ? portColumn : deviceColumn];
        } else if (widths[identColumn] > narrowest[identColumn]) {
            --widths[identColumn];
        } else {
            return;
        }
    }
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

QString GangReport::table(const std::vector<std::unique_ptr<BoardRun>>& boards, int columns) const {
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
    std::array<qsizetype, 5> narrowest{};
    qsizetype resultWidth = head[resultColumn].size();
    for (std::size_t c = 0; c < widths.size(); ++c) {
        widths[c] = head[static_cast<qsizetype>(c)].size();
        for (const auto& row : rows) {
            widths[c] = std::max(widths[c], row[static_cast<qsizetype>(c)].size());
        }
        // The numbers always show whole.
        narrowest[c] = c == bytesColumn || c == secondsColumn
                           ? widths[c]
                           : std::min<qsizetype>(widths[c], narrowestCell);
    }
    for (const auto& row : rows) {
        resultWidth = std::max(resultWidth, row[resultColumn].size());
    }
    const qsizetype gapsWidth = gaps * gap.size();
    if (columns > 0) {
        narrowToFit(widths, narrowest,
                    columns - gapsWidth - std::min<qsizetype>(resultWidth, resultRoom));
        qsizetype used = gapsWidth;
        for (qsizetype w : widths) {
            used += w;
        }
        resultWidth = std::max<qsizetype>(columns - used, head[resultColumn].size());
    }
    auto line = [&](const QStringList& cells) {
        QString text;
        for (std::size_t c = 0; c < widths.size(); ++c) {
            const auto width = static_cast<int>(widths[c]);
            QString cell = cells[static_cast<qsizetype>(c)];
            if (c == identColumn && cell.size() > width) {
                cell = cell.left(width - 1) + QChar(0x2026);
            } else if (cell.size() > width) {
                cell = shortenedFromLeft(cell, width);
            }
            // Numbers line up on the right, texts on the left.
            text += (c == bytesColumn || c == secondsColumn ? cell.rightJustified(width)
                                                            : cell.leftJustified(width)) +
                    gap;
        }
        if (columns <= 0) {
            return text + cells[resultColumn] + "\n";
        }
        const QStringList parts = wrapped(cells[resultColumn], static_cast<int>(resultWidth));
        const QString indent(text.size(), ' ');
        text += parts.first() + "\n";
        for (qsizetype i = 1; i < parts.size(); ++i) {
            text += indent + parts[i] + "\n";
        }
        return text;
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
