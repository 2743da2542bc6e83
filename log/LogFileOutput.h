#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QFileDevice;
struct stat;

// One file written whole. Where the folder allows it, the content goes to a new file beside the target
// that replaces it only when complete, with the old file's permissions, owner and group. A file that
// cannot be replaced that way (the folder may not be written, its owner or group cannot be given to a new
// file, it has further hard links, it is no regular file) is rewritten in place instead.
class LogFileOutput {
public:
    // Throws "Cannot create file" with the system's reason when the file can be neither replaced nor
    // written.
    explicit LogFileOutput(const QString& path);
    ~LogFileOutput();

    // Writes the whole content and finishes the file; false when any of it failed. A replacement then
    // leaves the old file as it was; a file written in place keeps what was written.
    bool write(const QByteArray& content);

private:
    bool openReplacement(const QString& path, const struct stat& old);
    void openInPlace(const QString& path);

    std::unique_ptr<QFileDevice> file_;
    bool replaces_ = false;
};
