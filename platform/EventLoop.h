#pragma once
// Letting the windows catch up while long work runs in the event thread.
#include <QElapsedTimer>

namespace platform {

// Handles the window events that are waiting (painting, clicks, timers), then
// returns. Long loops call it so that their windows stay painted and a click
// on a stop button gets through.
void YieldToWindows();

// Handles the waiting window events as YieldToWindows does, but no more often
// than every interval: a loop over many quick items asks at every item, and
// the windows still get a turn several times a second without the events
// costing more than the items.
class WindowTurns {
public:
    explicit WindowTurns(int intervalMs = 20) : m_intervalMs(intervalMs) {}
    void yieldIfDue();

private:
    int m_intervalMs;
    QElapsedTimer m_sinceTurn;
};

}  // namespace platform
