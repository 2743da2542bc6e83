#include "log/LogFileOutput.h"

#include "core/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The system's reason goes in without the full stop that the error box adds itself.
Failure cannotCreate(const QString& path, QString reason)
{
    while (!reason.isEmpty() && (reason.back().isSpace() || reason.back() == u'.'))
        reason.chop(1);
    return Failure(QStringLiteral("Cannot create file \"%1\". %2")
                       .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason));
}

constexpr QIODevice::OpenMode WriteMode = QIODevice::WriteOnly
    // Unbuffered, so that a short write (disk full) shows in write()'s count rather than being lost in a
    // later flush.
    | QIODevice::Unbuffered;

}  // namespace

LogFileOutput::LogFileOutput(const QString& path)
{
    struct stat old {};
    if (::stat(QFile::encodeName(path).constData(), &old) != 0) {
        auto file = std::make_unique<QSaveFile>(path);
        if (!file->open(WriteMode))
            throw cannotCreate(path, file->errorString());
        file_ = std::move(file);
        replaces_ = true;
        return;
    }
    // Replacing a hard-linked file would part it from its other names; a device or pipe is no file to
    // replace at all.
    const bool replaceable = S_ISREG(old.st_mode) && old.st_nlink == 1;
    if (!replaceable || !openReplacement(path, old))
        openInPlace(path);
}

LogFileOutput::~LogFileOutput() = default;

bool LogFileOutput::openReplacement(const QString& path, const struct stat& old)
{
    // Fails when the folder may not be written, or when the old file may not be.
    auto file = std::make_unique<QSaveFile>(path);
    if (!file->open(WriteMode))
        return false;
    const int handle = file->handle();
    struct stat fresh {};
    const bool sameOwner = ::fstat(handle, &fresh) == 0
        && ((fresh.st_uid == old.st_uid && fresh.st_gid == old.st_gid) || ::fchown(handle, old.st_uid, old.st_gid) == 0);
    // Set after the owner, whose change clears the set-user and set-group bits. A replacement that cannot
    // look like the old file is dropped, its temporary file with it.
    if (!sameOwner || ::fchmod(handle, old.st_mode & 07777) != 0)
        return false;
    file_ = std::move(file);
    replaces_ = true;
    return true;
}

void LogFileOutput::openInPlace(const QString& path)
{
    // Never waits on the file: a pipe without a reader, or a file that another program holds a lease on,
    // fails at once instead of holding up the program.
    const int handle = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0)
        throw cannotCreate(path, qt_error_string(errno));
    ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>(path);
    [[maybe_unused]] const bool opened = file->open(handle, WriteMode, QFileDevice::AutoCloseHandle);
    Q_ASSERT(opened);
    file_ = std::move(file);
}

bool LogFileOutput::write(const QByteArray& content)
{
    if (file_->write(content) != content.size())
        return false;
    if (replaces_)
        return static_cast<QSaveFile&>(*file_).commit();
    // A device or pipe cannot be synced, which is no failure.
    const bool synced = ::fsync(file_->handle()) == 0 || errno == EINVAL;
    file_->close();
    return synced && file_->error() == QFileDevice::NoError;
}
