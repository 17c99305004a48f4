#pragma once
// Image files for the loader's end-to-end tests.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

namespace testing_support {

// Writes `bytes` to `path` and gives the path back.
inline QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        ADD_FAILURE() << "cannot write " << path.toStdString();
        return path;
    }
    file.write(bytes);
    return path;
}

// The whole file; empty when it cannot be read.
inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// `size` bytes of every value, the same for the same seed.
inline QByteArray randomBytes(int size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (auto& b : bytes) {
        b = char(random.bounded(256));
    }
    return bytes;
}

// Intel HEX text of data records, 16 bytes each, to at least `size` characters, with an
// end-of-file record.
inline QByteArray intelHex(int size) {
    QByteArray text;
    QRandomGenerator random(1939);
    for (int address = 0; text.size() < size - 13; address += 16) {
        QByteArray record;
        record.append(char(16))
            .append(char(address >> 8))
            .append(char(address & 0xFF))
            .append(char(0));
        for (int i = 0; i < 16; ++i) {
            record.append(char(random.bounded(256)));
        }
        std::uint8_t sum = 0;
        for (char c : record) {
            sum = static_cast<std::uint8_t>(sum + static_cast<std::uint8_t>(c));
        }
        record.append(char(-sum));
        text += ":" + record.toHex().toUpper() + "\r\n";
    }
    return text + ":00000001FF\r\n";
}

}  // namespace testing_support
