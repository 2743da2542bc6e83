#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// Writes the bytes as the whole file; a failure fails the test.
inline void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(content), content.size());
}

// The file's bytes, or "<missing>" when it cannot be read.
inline QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
