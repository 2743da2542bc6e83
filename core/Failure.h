#pragma once

#include <QString>
#include <exception>

// A failure raised inside a handler. It unwinds through every handler that called the failing one;
// only the outermost handler catches it and shows it in the error box.
class Failure : public std::exception {
public:
    explicit Failure(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};
