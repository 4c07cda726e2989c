#pragma once
// The mouse pointer shown over every window of the program.

namespace platform {

enum class Pointer { Default, Hourglass, ArrowHourglass };

// Shows the pointer everywhere in the program; Default removes any override.
// Does nothing when there is no window system (command-line tests).
void SetPointer(Pointer pointer);
Pointer CurrentPointer();

}  // namespace platform
