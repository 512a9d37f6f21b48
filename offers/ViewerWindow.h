// The installed viewer's window after the wizard has started it.
#pragma once

// Waits for the viewer's top-level window (up to 5 looks, 500 ms apart) and
// makes it the foreground window. 1 when it was found, else 0.
int BringViewerToFront();
