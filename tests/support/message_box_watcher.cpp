#include "tests/support/message_box_watcher.h"

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>

struct MessageBoxWatcher::Impl {
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::vector<Seen> seen;
    std::thread thread;
    DWORD process = GetCurrentProcessId();

    static BOOL CALLBACK visit(HWND window, LPARAM context) {
        auto* self = reinterpret_cast<Impl*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char className[32] = "";
        GetClassNameA(window, className, sizeof className);
        if (owner != self->process || std::string(className) != "#32770" ||
            !IsWindowVisible(window) || !GetDlgItem(window, 0xFFFF))
            return TRUE;
        char title[256] = "", text[1024] = "";
        GetWindowTextA(window, title, sizeof title);
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        {
            std::lock_guard lock(self->mutex);
            self->seen.push_back({title, text});
        }
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }

    void watch() {
        while (!stop) {
            EnumWindows(visit, reinterpret_cast<LPARAM>(this));
            Sleep(20);
        }
    }
};

MessageBoxWatcher::MessageBoxWatcher() : impl(new Impl) {
    impl->thread = std::thread([this] { impl->watch(); });
}

std::vector<MessageBoxWatcher::Seen> MessageBoxWatcher::finish() {
    if (impl->thread.joinable()) {
        impl->stop = true;
        impl->thread.join();
    }
    std::lock_guard lock(impl->mutex);
    return impl->seen;
}

bool MessageBoxWatcher::watchesWindows() {
    return true;
}
#else
struct MessageBoxWatcher::Impl {};
MessageBoxWatcher::MessageBoxWatcher() : impl(new Impl) {}
std::vector<MessageBoxWatcher::Seen> MessageBoxWatcher::finish() {
    return {};
}
bool MessageBoxWatcher::watchesWindows() {
    return false;
}
#endif

MessageBoxWatcher::~MessageBoxWatcher() {
    finish();
    delete impl;
}
