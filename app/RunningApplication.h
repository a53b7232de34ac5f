#pragma once

// The running notes application, seen through its points of contact: a top-level
// window titled "Pinvora" and the event "Global\PinvoraLiveEvent".

// Asks the application's window, if there is one, to close. Gives up on a window that
// does not answer within a few seconds instead of hanging with it. True when a window
// was found.
bool AskApplicationToClose();

// True while the liveness event exists, including when it exists but may not be
// opened by us.
bool IsApplicationRunning();
