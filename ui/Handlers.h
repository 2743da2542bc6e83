#pragma once

#include "core/Failure.h"
#include "ui/ErrorReport.h"

#include <QTimer>
#include <exception>

// The outermost catch of a handler run by the event loop. Handlers run from code are called directly,
// so a failure unwinds through every caller up to here; beforeReport runs first (a timer handler stops
// its timer there, so a repeating failure is reported once).
template <typename Handler, typename BeforeReport>
void runHandler(Handler&& handler, BeforeReport&& beforeReport)
{
    try {
        handler();
    } catch (const Failure& failure) {
        beforeReport();
        reportFailure(failure.message());
    } catch (const std::exception& failure) {
        beforeReport();
        reportFailure(QString::fromLocal8Bit(failure.what()));
    }
}

template <typename Handler>
void runHandler(Handler&& handler)
{
    runHandler(std::forward<Handler>(handler), [] {});
}

// For callbacks that a view makes from inside its own bookkeeping (a current-index change): the handler
// runs now, but its failure is shown once control is back in the event loop, so the error box's nested
// loop never runs inside the view's half-finished update.
template <typename Handler>
void runHandlerReportingLater(Handler&& handler)
{
    try {
        handler();
    } catch (const Failure& failure) {
        reportFailureLater(failure.message());
    } catch (const std::exception& failure) {
        reportFailureLater(QString::fromLocal8Bit(failure.what()));
    }
}

// A timer tick: a failing handler stops its own timer before the single report.
template <typename Timer, typename Handler>
void runTimerHandler(Timer* timer, Handler&& handler)
{
    runHandler(std::forward<Handler>(handler), [timer] { timer->stop(); });
}
