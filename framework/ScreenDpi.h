// The screen's density in dots per inch, as "large fonts" set it.
#pragma once

// The vertical logical density of the screen (96 for small fonts, 120 for
// large fonts; 0 when the screen cannot be asked).
int ScreenDpi();
