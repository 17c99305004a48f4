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

}  // namespace testing_support
