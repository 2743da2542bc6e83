#include "core/WholeFile.h"

#include "core/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// QSaveFile words a read-only target its own way; opening the file for appending, which changes nothing,
// gets the system's words for it.
QString creationFailureReason(const QString& path, const QSaveFile& file)
{
    QFile existing(path);
    return failureReason(existing.exists() && !existing.open(QIODevice::Append) ? existing.errorString()
                                                                                 : file.errorString());
}

}  // namespace

QString failureReason(QString reason)
{
    while (!reason.isEmpty() && (reason.back().isSpace() || reason.back() == u'.'))
        reason.chop(1);
    return reason;
}

void writeWholeFile(const QString& path, const std::function<QByteArray()>& content)
{
    QSaveFile file(path);
    // Unbuffered, so that a short write (disk full) shows in write()'s count rather than being lost in a
    // later flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Failure(QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                               creationFailureReason(path, file)));
    const QByteArray bytes = content();
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw Failure(QStringLiteral("Failed to Save Stream"));
}
