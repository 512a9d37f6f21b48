// After an installed partner browser: the finishing actions open its pages in
// the new browser and place the viewer below the browser's window.
#pragma once

#include <string>

// The parameter text of the three pages, each in double quotes, separated by
// single blanks: the partner's search home, its German welcome page and the
// viewer's FAQ page.
std::string BrowserFollowUpPages();

// Starts the browser's recorded launch command with `parameters`. 1 when the
// command was found, 0 when there is none (nothing is opened then).
int OpenPagesInNewBrowser(const char* parameters);

// Looks for the browser's main window (up to 10 looks, 500 ms apart): the
// first top-level window of its class that has a child of the same class.
// 1 with its screen position, else 0.
int LocateBrowserWindow(int* left, int* top);

// The viewer's start parameters after the browser was installed:
// " /pos=(0,top+345)" below the browser's window, empty when it was not found.
std::string ViewerPositionBelowBrowser();
