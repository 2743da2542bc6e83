#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Writes a file all or nothing: the content goes to a file beside the target, which replaces it only when
// complete. The content is asked for once the file has been created. Throws Failure with
// "Cannot create file "<path>". <reason>" or "Failed to Save Stream"; an existing file is then untouched.
void writeWholeFile(const QString& path, const std::function<QByteArray()>& content);

// The system's description of a failure, without the trailing blanks, line breaks and full stops that the
// error box would double.
QString failureReason(QString reason);
