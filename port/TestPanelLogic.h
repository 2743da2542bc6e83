#pragma once

#include <QObject>
#include <array>
#include <cstdint>

class LogSink;
class Port;
class QTimer;

// What the Test Panel does, without its widgets: the eight data-line boxes and their handlers, all off,
// the status poll and the scan running light. The status poll and the scan run on the caller's timers,
// whose ticks it delivers to pollStatus() and scanStep().
//
// A data-line box set from code runs its handler at once, inside the caller, and a failure (a full log)
// unwinds through every caller; nothing here catches. lineBoxChanged is emitted before that handler runs,
// with the box's state already recorded; a receiver shows the new state and must not set boxes itself.
class TestPanelLogic : public QObject {
    Q_OBJECT
public:
    TestPanelLogic(Port& port, LogSink& log, QTimer& pollTimer, QTimer& scanTimer, QObject* parent = nullptr);

    bool lineBoxChecked(int line) const;
    bool isScanning() const;
    bool isPolling() const;
    // The light's direction: false while it moves from D0 towards D7. Only the scan step changes it, and
    // nothing resets it, so it outlives a stop, a close and a reopen.
    bool scanDescending() const { return ScanDescending != 0; }
    // Sets the direction the next scan starts with.
    void setScanDescending(bool descending) { ScanDescending = descending ? 1 : 0; }

    // The window was created, shown or closed by the user.
    void created();
    void shown();
    void closed();

    // The user toggled box Dn to the given state: its handler switches the line and logs the read-back.
    void lineBoxClicked(int line, bool checked);
    // All-off button: writes 0xFF unrecorded, then unchecks every data-line box in order.
    void allOff();
    // Status poll: reads the status register and logs it; statusRead tells which boxes to tick.
    void pollStatus();
    // Scan button: starts the scan, or ends it with all off.
    void toggleScan();
    // One move of the running light.
    void scanStep();

signals:
    // Box Dn was set from code.
    void lineBoxChanged(int line, bool checked);
    // The status byte just read; status box k shows bit k - 1.
    void statusRead(std::uint8_t status);

private:
    // The box's click handler: switches its line as the box shows it, then logs the read-back line.
    void runLineHandler(int line);
    // Sets box Dn from code; a change runs its handler at once.
    void setLineBox(int line, bool checked);

    Port& port_;
    LogSink& log_;
    QTimer& pollTimer_;
    QTimer& scanTimer_;
    std::array<bool, 8> checked_{};
    std::int32_t ScanDescending = 0;
};
