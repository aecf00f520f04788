#pragma once
// Helpers for the tests that drive the real module under Win32 (Wine).
#ifdef _WIN32
#include <windows.h>

#include <functional>
#include <string>

// The built module: the test program is build/<dir>/tests/orvane_tests.exe and
// the module build/<dir>/dist/Orvane.9zf.
std::string builtModulePath();

// The module loaded with PLUGIN.dll from beside it, once for the whole test
// program (its code and resources as the host sees them); null on failure.
HMODULE loadedModule();

// build/<dir>/artifacts/<name>, the folder created if needed.
std::string artifactPath(const std::string& name);

// Saves an area of a device context as a PNG under artifacts/; true when the
// file was written.
bool saveAreaAsPng(HDC source, const RECT& area, const std::string& name);
// Saves what the screen shows of the window as a PNG under artifacts/.
bool saveWindowScreenshot(HWND window, const std::string& name);

// The GDI objects the process holds. Wine answers GetGuiResources with 0 but
// finds an object by the index in its handle's low word alone; there every
// index that names an object is counted, but for the windows' device contexts
// and regions: Wine keeps a cache of the first and the windows' update areas
// in the second, which come and go as windows are drawn on. (The plug-in makes
// no region of its own.)
DWORD gdiObjectCount();

// The visible top-level window of the thread with that class and caption (any
// caption for null), within the time; null when none came.
HWND waitForWindow(DWORD threadId, const char* windowClass, const char* caption, int milliseconds);

// Runs `modal` (which opens a modal window on this thread) while a helper
// thread waits for a visible top-level window of this thread whose class is
// `windowClass` and calls `drive` with it. If the window is still open four
// seconds after `drive`, the helper closes it with IDCANCEL, then IDOK, so that
// a failing test does not hang, and the result is false. The result is also false when
// no such window appeared. `drive` runs on the helper thread.
bool driveModalWindow(const char* windowClass, const std::function<void()>& modal,
                      const std::function<void(HWND)>& drive);
#endif
