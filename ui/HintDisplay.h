#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QAction;
class QStatusBar;
class QMainWindow;

// A hint is "short|long"; without "|" it serves whole as both parts.
QString shortHint(const QString& hint);
QString longHint(const QString& hint);

// The hint a widget carries itself, in its "hint" property, or, for a tool button bound to an action, the
// action's.
QString ownHint(const QWidget* widget);
// The first non-empty hint from the widget up through its parents, within its window.
QString hintFor(const QWidget* widget);
// The tooltip of a control: the short part, with the shortcut's name for an action that has one.
QString tooltipText(const QWidget* control);

// Shows the main window's hints: the long part in its status bar, for the control under the pointer or the
// highlighted menu entry, each time the event queue runs empty; the short part as a tooltip on the toolbar
// buttons, after the pointer has rested on one. Every other tooltip of the main window is suppressed. It finds
// the status bar and the toolbar buttons by their names.
class HintDisplay : public QObject {
public:
    explicit HintDisplay(QMainWindow& mainWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void queueRanEmpty();
    // The long hint for where the pointer is now, or for the highlighted menu entry while a menu is open.
    QString currentLongHint() const;
    void showCurrentHint();
    bool hasTooltip(const QObject* object) const;
    bool inMainWindow(const QObject* object) const;
    void pointerEntered(QWidget* control);
    void pointerLeft();
    void showTooltip();

    QMainWindow& mainWindow_;
    QStatusBar* statusBar_;
    QWidget* toolBar_;
    QList<QWidget*> tooltipControls_;
    // Finding the window under the pointer costs the display server round trips, and a playing script
    // empties the queue a thousand times a second: look again only after something that can change it.
    bool lookAgain_ = true;
    QPointer<QWidget> restingOn_;
    // Set when the pointer leaves a control while its tooltip shows, until it leaves the toolbar: the next
    // toolbar button then shows its tooltip at once.
    bool showAtOnce_ = false;
    QTimer restTimer_;
};
