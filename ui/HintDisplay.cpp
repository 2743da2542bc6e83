#include "ui/HintDisplay.h"


#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <algorithm>

namespace {

constexpr int RestBeforeTooltipMs = 500;
constexpr int TooltipDisplayMs = 2500;

// What can change the control under the pointer or the highlighted menu entry: the pointer moving, controls
// and windows appearing, moving or being blocked, keys moving through a menu, a menu entry highlighted.
bool canChangeWhatIsPointedAt(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseMove:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowBlocked:
    case QEvent::WindowUnblocked:
    case QEvent::KeyPress:
    case QEvent::StatusTip:
    case QEvent::DynamicPropertyChange:
        return true;
    default:
        return false;
    }
}

QString actionHint(const QAction* action)
{
    return action->property("hint").toString();
}

}  // namespace

QString shortHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

QString longHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

QString ownHint(const QWidget* widget)
{
    const QString hint = widget->property("hint").toString();
    if (!hint.isEmpty())
        return hint;
    if (const auto* button = qobject_cast<const QToolButton*>(widget); button && button->defaultAction())
        return actionHint(button->defaultAction());
    return {};
}

QString hintFor(const QWidget* widget)
{
    for (; widget; widget = widget->isWindow() ? nullptr : widget->parentWidget()) {
        QString hint = ownHint(widget);
        if (!hint.isEmpty())
            return hint;
    }
    return {};
}

QString tooltipText(const QWidget* control)
{
    const QString text = shortHint(hintFor(control));
    const auto* button = qobject_cast<const QToolButton*>(control);
    const QAction* action = button ? button->defaultAction() : nullptr;
    if (!action || action->shortcut().isEmpty())
        return text;
    return QStringLiteral("%1 (%2)").arg(text, action->shortcut().toString(QKeySequence::NativeText));
}

HintDisplay::HintDisplay(QMainWindow& mainWindow)
    : mainWindow_(mainWindow),
      statusBar_(mainWindow.findChild<QStatusBar*>(QStringLiteral("StatusBar"))),
      toolBar_(mainWindow.findChild<QToolBar*>(QStringLiteral("ToolBar1")))
{
    for (const char* name : {"ToolButton3", "SpeedButton1", "SpeedButton2"})
        tooltipControls_.append(mainWindow.findChild<QToolButton*>(QString::fromLatin1(name)));
    Q_ASSERT(statusBar_ && toolBar_ && !tooltipControls_.contains(nullptr));
    restTimer_.setSingleShot(true);
    restTimer_.setInterval(RestBeforeTooltipMs);
    connect(&restTimer_, &QTimer::timeout, this, &HintDisplay::showTooltip);
    // The queue has run empty when the GUI thread's dispatcher is about to wait; nested loops of modal
    // windows and menus go through the same dispatcher.
    connect(QAbstractEventDispatcher::instance(thread()), &QAbstractEventDispatcher::aboutToBlock, this,
            &HintDisplay::queueRanEmpty);
    qApp->installEventFilter(this);
}

void HintDisplay::queueRanEmpty()
{
    if (!lookAgain_)
        return;
    lookAgain_ = false;
    showCurrentHint();
}

QString HintDisplay::currentLongHint() const
{
    if (const auto* menu = qobject_cast<const QMenu*>(QApplication::activePopupWidget())) {
        // With no entry highlighted yet, the menu's own title is.
        const QAction* entry = menu->activeAction() ? menu->activeAction() : menu->menuAction();
        return longHint(actionHint(entry));
    }
    const QWidget* widget = QApplication::widgetAt(QCursor::pos());
    if (!widget)
        return {};
    // A window behind a modal one takes no input, so its controls have nothing to tell either.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && widget->window() != modal)
        return {};
    return longHint(hintFor(widget));
}

void HintDisplay::showCurrentHint()
{
    const QString hint = currentLongHint();
    if (hint == statusBar_->currentMessage())
        return;
    if (hint.isEmpty())
        statusBar_->clearMessage();
    else
        statusBar_->showMessage(hint);
}

bool HintDisplay::hasTooltip(const QObject* object) const
{
    return std::find(tooltipControls_.begin(), tooltipControls_.end(), object) != tooltipControls_.end();
}

bool HintDisplay::inMainWindow(const QObject* object) const
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget && widget->window() == &mainWindow_;
}

bool HintDisplay::eventFilter(QObject* watched, QEvent* event)
{
    if (canChangeWhatIsPointedAt(event->type()))
        lookAgain_ = true;
    switch (event->type()) {
    case QEvent::ToolTip:
    case QEvent::StatusTip:
        // The status bar and the three tooltips are ours alone: Qt's own would fight them (a tool button
        // shows its action's text, a highlighted menu entry clears the status bar).
        return inMainWindow(watched);
    case QEvent::Enter:
        if (hasTooltip(watched))
            pointerEntered(static_cast<QWidget*>(watched));
        break;
    case QEvent::Leave:
        if (hasTooltip(watched))
            pointerLeft();
        else if (watched == toolBar_)
            showAtOnce_ = false;
        break;
    case QEvent::MouseButtonPress:
        // A click answers the question the tooltip would have.
        if (hasTooltip(watched))
            restTimer_.stop();
        break;
    default:
        break;
    }
    return false;
}

void HintDisplay::pointerEntered(QWidget* control)
{
    restingOn_ = control;
    if (showAtOnce_)
        showTooltip();
    else
        restTimer_.start();
}

void HintDisplay::pointerLeft()
{
    restTimer_.stop();
    // The buttons are apart on the toolbar: the pointer crosses the separators between them.
    showAtOnce_ = QToolTip::isVisible();
    QToolTip::hideText();
    restingOn_ = nullptr;
}

void HintDisplay::showTooltip()
{
    if (!restingOn_ || QGuiApplication::applicationState() != Qt::ApplicationActive)
        return;
    // Qt places the tip just below the given point.
    QToolTip::showText(QCursor::pos(), tooltipText(restingOn_), restingOn_, restingOn_->rect(), TooltipDisplayMs);
}
