#pragma once

namespace platform {

// Waits the given number of seconds while the user interface keeps running
// (its events are handled meanwhile; without an application the thread
// sleeps); 0 or less returns at once.
void Delay(int seconds);

} // namespace platform
