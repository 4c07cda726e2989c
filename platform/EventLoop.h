#pragma once
// Letting the windows catch up while long work runs in the event thread.

namespace platform {

// Handles the window events that are waiting (painting, clicks, timers), then
// returns. Long loops call it so that their windows stay painted and a click
// on a stop button gets through.
void YieldToWindows();

}  // namespace platform
