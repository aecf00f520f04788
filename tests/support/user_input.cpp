#ifdef _WIN32
#include "tests/support/user_input.h"

#include <atomic>

namespace {
// A key and a message nothing in the plug-in answers: once the dialog's thread
// takes them, it has taken every earlier key and posted message too.
constexpr WORD kMarkerKey = VK_F24;
constexpr UINT kMarkerMessage = WM_APP + 0x3F1;
std::atomic<int> keyMarkersTaken{0}, messageMarkersTaken{0};

LRESULT CALLBACK watchMessages(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const bool keyUp = message->message == WM_KEYUP || message->message == WM_SYSKEYUP;
        if (keyUp && message->wParam == kMarkerKey)
            ++keyMarkersTaken;
        if (message->message == kMarkerMessage)
            ++messageMarkersTaken;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void sendKey(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

WPARAM keyFlags(UINT message, std::initializer_list<WORD> held) {
    WPARAM flags = message == WM_LBUTTONUP ? 0 : MK_LBUTTON;
    for (WORD key : held)
        flags |= key == VK_SHIFT ? MK_SHIFT : key == VK_CONTROL ? MK_CONTROL : 0;
    return flags;
}
} // namespace

UserInput::UserInput(HWND dialog)
    : thread(GetWindowThreadProcessId(dialog, nullptr)),
      hook(SetWindowsHookExA(WH_GETMESSAGE, watchMessages, nullptr, thread)), dialog(dialog) {
    keyMarkersTaken = 0;
    messageMarkersTaken = 0;
}

UserInput::~UserInput() {
    UnhookWindowsHookEx(hook);
}

void UserInput::sendMouse(UINT message, HWND window, POINT p, std::initializer_list<WORD> held) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread, &info);
    const HWND target = message != WM_LBUTTONDOWN && info.hwndCapture ? info.hwndCapture : window;
    MapWindowPoints(window, target, &p, 1);
    PostMessageA(target, message, keyFlags(message, held), MAKELPARAM(p.x, p.y));
}

void UserInput::press(HWND window, POINT p, std::initializer_list<WORD> held) {
    sendMouse(WM_LBUTTONDOWN, window, p, held);
    settle();
}

void UserInput::moveTo(HWND window, POINT p, std::initializer_list<WORD> held) {
    sendMouse(WM_MOUSEMOVE, window, p, held);
    settle();
}

void UserInput::release(HWND window, POINT p, std::initializer_list<WORD> held) {
    sendMouse(WM_LBUTTONUP, window, p, held);
    settle();
}

void UserInput::click(HWND window, POINT p) {
    sendMouse(WM_LBUTTONDOWN, window, p, {});
    sendMouse(WM_LBUTTONUP, window, p, {});
    settle();
}

void UserInput::drag(HWND fromWindow, POINT from, HWND toWindow, POINT to,
                     std::initializer_list<WORD> held) {
    for (WORD key : held)
        keyDown(key);
    settle();
    press(fromWindow, from, held);
    Sleep(300); // longer than a click
    POINT middle = from;
    MapWindowPoints(fromWindow, toWindow, &middle, 1);
    middle = {(middle.x + to.x) / 2, (middle.y + to.y) / 2};
    moveTo(toWindow, middle, held);
    moveTo(toWindow, to, held);
    release(toWindow, to, held);
    for (WORD key : held)
        keyUp(key);
    settle();
}

void UserInput::keyDown(WORD key) {
    sendKey(key, true);
}

void UserInput::keyUp(WORD key) {
    sendKey(key, false);
}

void UserInput::type(WORD key, std::initializer_list<WORD> held) {
    for (WORD modifier : held)
        keyDown(modifier);
    keyDown(key);
    keyUp(key);
    for (WORD modifier : held)
        keyUp(modifier);
    settle();
}

void UserInput::settle() {
    ++markersSent;
    // Posted messages come before keys: the message first, then the key.
    PostMessageA(dialog, kMarkerMessage, 0, 0);
    for (int waited = 0; messageMarkersTaken < markersSent && waited < 5000; waited += 2)
        Sleep(2);
    sendKey(kMarkerKey, true);
    sendKey(kMarkerKey, false);
    for (int waited = 0; keyMarkersTaken < markersSent && waited < 5000; waited += 2)
        Sleep(2);
}
#endif
