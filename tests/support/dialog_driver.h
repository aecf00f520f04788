#pragma once
// Drives the plug-in's windows from a helper thread while the thread under test
// runs their modal loop.
#ifdef _WIN32
#include <windows.h>

#include <string>

// The visible dialog-class window of the thread with that caption (any
// caption for null), within the time; null when none came.
HWND waitForDialog(DWORD threadId, const char* caption, int milliseconds = 4000);
// Waits for the window to close; false when it is still open after the time.
bool waitForClose(HWND window, int milliseconds = 4000);

// As the user does it: a button pressed, a combo row chosen.
void pressButton(HWND dialog, int id);
// Without waiting for the press to be handled, for a button that opens a modal window.
void pressButtonThatOpensAWindow(HWND dialog, int id);
void chooseRow(HWND dialog, int comboId, int row);
std::string windowText(HWND window);
// The text of a message box (its static text).
std::string messageText(HWND box);

// The left button pressed and released at once at a point of the window; or
// pressed, held longer than a click, moved to toX and released there. Both
// return once the window has handled them.
void clickAt(HWND window, int x, int y);
void dragTo(HWND window, int fromX, int toX, int y);
#endif
