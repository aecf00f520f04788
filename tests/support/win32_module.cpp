#ifdef _WIN32
#include "tests/support/win32_module.h"

#include <thread>
#include <vector>

// The host library that the tests link holds stb's implementation.
#include <stb/stb_image_write.h>

namespace {
// The folder above the test program's own folder: build/<dir>.
std::string buildFolder() {
    char path[MAX_PATH] = "";
    const std::string program(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    const size_t testsFolder = program.find_last_of("\\/");
    const size_t build = program.find_last_of("\\/", testsFolder - 1);
    return program.substr(0, build + 1);
}

struct WindowSearch {
    const char* windowClass;
    const char* caption; // any when null
    HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    char className[64] = "", caption[256] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    if (IsWindowVisible(window) && lstrcmpiA(className, search->windowClass) == 0 &&
        (!search->caption || lstrcmpA(caption, search->caption) == 0)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

bool waitUntilClosed(HWND window, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 20) {
        if (!IsWindow(window))
            return true;
        Sleep(20);
    }
    return false;
}
} // namespace

DWORD gdiObjectCount() {
    if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return count;
    DWORD count = 0;
    for (uintptr_t index = 1; index < 0x10000; ++index) {
        const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(index));
        count += type != 0 && type != OBJ_DC && type != OBJ_REGION;
    }
    return count;
}

HWND waitForWindow(DWORD threadId, const char* windowClass, const char* caption, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 20) {
        WindowSearch search{windowClass, caption};
        EnumThreadWindows(threadId, matchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(20);
    }
    return nullptr;
}

std::string builtModulePath() {
    return buildFolder() + "dist\\Orvane.9zf";
}

HMODULE loadedModule() {
    static HMODULE module =
        LoadLibraryExA(builtModulePath().c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return module;
}

std::string artifactPath(const std::string& name) {
    const std::string folder = buildFolder() + "artifacts";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\" + name;
}

bool saveAreaAsPng(HDC source, const RECT& area, const std::string& name) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, source, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);
    // The section holds blue, green, red, unused; PNG wants red, green, blue.
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    const auto* bgrx = static_cast<const uint8_t*>(bits);
    for (size_t pixel = 0; pixel < size_t(width) * size_t(height); ++pixel)
        for (int channel = 0; channel < 3; ++channel)
            rgb[pixel * 3 + size_t(channel)] = bgrx[pixel * 4 + size_t(2 - channel)];
    DeleteObject(picture);
    DeleteDC(memory);
    return stbi_write_png(artifactPath(name).c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

bool saveWindowScreenshot(HWND window, const std::string& name) {
    RECT bounds;
    if (!GetWindowRect(window, &bounds))
        return false;
    // Let the window and its controls finish painting first.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC screen = GetDC(nullptr);
    const bool saved = saveAreaAsPng(screen, bounds, name);
    ReleaseDC(nullptr, screen);
    return saved;
}

bool driveModalWindow(const char* windowClass, const std::function<void()>& modal,
                      const std::function<void(HWND)>& drive) {
    const DWORD threadId = GetCurrentThreadId();
    bool closedInTime = false;
    std::thread helper([&] {
        HWND window = waitForWindow(threadId, windowClass, nullptr, 5000);
        if (!window)
            return;
        drive(window);
        // Hiding a window can wait up to two seconds for a window manager that
        // a bare X server does not have.
        closedInTime = waitUntilClosed(window, 4000);
        for (WPARAM command : {IDCANCEL, IDOK})
            if (!waitUntilClosed(window, 1000))
                PostMessageA(window, WM_COMMAND, command, 0);
    });
    modal();
    helper.join();
    return closedInTime;
}
#endif
