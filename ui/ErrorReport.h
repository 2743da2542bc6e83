#pragma once

#include <QString>
#include <functional>

// The message as the error box shows it: a full stop added when the last character comes after '.'.
QString withFullStop(const QString& message);

// Shows a failure in the application's error box. At most one box is open at a time: a failure raised
// while one is open is not shown in a second one.
void reportFailure(const QString& message);

// The same, once control is back in the event loop.
void reportFailureLater(const QString& message);

// Replaces the box, for tests; an empty function restores it.
using FailurePresenter = std::function<void(const QString& text)>;
void setFailurePresenter(FailurePresenter presenter);
