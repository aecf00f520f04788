#pragma once
// Input for the dialog tests, given from a helper thread as the system gives
// it to the dialog: mouse messages posted to the window under the pointer (or
// to the window holding the capture, as the system does) and keys through the
// system's input queue, so that both go through the dialog's own message loop.
// The mouse is not moved for real: under Wine the X server would move it on
// its own time and let go of the keys given here.
#ifdef _WIN32
#include <windows.h>

#include <initializer_list>

class UserInput {
  public:
    // Input for the windows of the dialog's thread.
    explicit UserInput(HWND dialog);
    ~UserInput();
    UserInput(const UserInput&) = delete;
    UserInput& operator=(const UserInput&) = delete;

    // The left button pressed on a pixel of a window, with the keys `held`.
    void press(HWND window, POINT p, std::initializer_list<WORD> held = {});
    // The mouse moved to, or the button released on, a pixel of a window,
    // while the button is down: the window that took the capture receives it.
    void moveTo(HWND window, POINT p, std::initializer_list<WORD> held = {});
    void release(HWND window, POINT p, std::initializer_list<WORD> held = {});
    // Pressed and released at once: a click.
    void click(HWND window, POINT p);
    // Pressed at `from`, held longer than a click, moved to `to` and released,
    // with the keys `held` down all along.
    void drag(HWND fromWindow, POINT from, HWND toWindow, POINT to,
              std::initializer_list<WORD> held = {});
    void keyDown(WORD key);
    void keyUp(WORD key);
    // A key pressed and released while the others are held.
    void type(WORD key, std::initializer_list<WORD> held = {});
    // Waits until the dialog's thread has taken every message and key given so far.
    void settle();

  private:
    void sendMouse(UINT message, HWND window, POINT p, std::initializer_list<WORD> held);

    DWORD thread;
    HHOOK hook;
    HWND dialog;
    int markersSent = 0;
};
#endif
