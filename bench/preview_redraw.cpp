// The preview's redraw after each kind of change the dialog makes, timed at
// the largest preview (a large image fills the preview's placeholder), with 3
// and 16 lights, with and without relief; and the way from the plug-in's first
// call to its dialog: in the Win32 build until the dialog window shows, in the
// native build (which has no dialog) until the run reaches it.
//
//   orvane_preview_redraw [SIZE]     (default 4096)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <thread>
#endif

#include "bench/bench_scene.h"
#include "host/zerafin/plugin_services/host_session.h"
#include "shell/entry_point.h"
#include "shell/filter_run.h"
#include "shell/plugin_state.h"
#include "shell/render_preview.h"

namespace {
constexpr int kRedraws = 15; // per change; the median is reported

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The plug-in as its dialog finds it: started, with the preview collected.
class PreviewSession {
  public:
    PreviewSession(Document& document, const Descriptor& script) : session(ENTRYPOINT1, nullptr) {
        session.setDocument(&document);
        ready = session.playScript(script, true);
        for (int16_t selector : {SelectorParameters, SelectorPrepare, SelectorStart})
            ready = ready && session.call(selector) == 0;
        while (ready && !state().run.previewImageReady) {
            session.supplyRequested();
            ready = session.call(SelectorContinue) == 0;
        }
        if (ready && state().settings.textureChannel != 0)
            ready = gatherTexturePreview(session.record, state()) == 0;
    }
    ~PreviewSession() {
        session.call(SelectorFinish);
        discardPluginState(&session.dataSlot);
    }
    PluginState& state() { return *reinterpret_cast<PluginState*>(session.dataSlot); }

    HostSession session;
    bool ready = false;
};

// The median time of a change followed by the preview's redraw; each change
// undoes the previous one, so that every redraw has work to do.
double medianRedraw(PluginState& state, const std::function<void(bool)>& change) {
    std::vector<double> times;
    for (int i = 0; i < kRedraws; ++i) {
        const auto start = Clock::now();
        change(i % 2 == 0);
        renderPreview(state);
        times.push_back(millisecondsSince(start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void reportRedraws(Document& document, int lights, bool relief) {
    const std::optional<Descriptor> script = benchScript(benchMaterialAndLights(lights), relief);
    if (!script)
        std::exit(2);
    PreviewSession preview(document, *script);
    if (!preview.ready) {
        std::fprintf(stderr, "orvane_preview_redraw: the preview could not be made\n");
        std::exit(1);
    }
    PluginState& state = preview.state();
    HostRecord& host = preview.session.record;
    std::printf("%2d lights, %-10s preview %d x %d:", lights, relief ? "relief" : "no relief",
                state.preview.width, state.preview.height);
    std::printf("  material %6.2f ms", medianRedraw(state, [&](bool odd) {
                    state.settings.gloss = int16_t(odd ? 41 : 40);
                }));
    std::printf("  light %6.2f ms", medianRedraw(state, [&](bool odd) {
                    state.settings.lights[0].intensity = int16_t(odd ? 31 : 30);
                    state.preview.lightChanged(0);
                }));
    if (relief) {
        std::printf("  relief %6.2f ms", medianRedraw(state, [&](bool odd) {
                        setReliefAmount(state.settings, state.preview, int16_t(odd ? 61 : 60));
                    }));
        std::printf("  texture %6.2f ms", medianRedraw(state, [&](bool odd) {
                        setTextureChannel(state.settings, state.preview,
                                          odd ? 2 : 4); // green, then "Relief"
                        gatherTexturePreview(host, state);
                    }));
    }
    std::printf("\n");
}

#ifdef _WIN32
struct DialogSearch {
    HWND found = nullptr;
};

BOOL CALLBACK findDialog(HWND window, LPARAM parameter) {
    char caption[16] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (IsWindowVisible(window) && lstrcmpA(caption, "Orvane") == 0) {
        reinterpret_cast<DialogSearch*>(parameter)->found = window;
        return FALSE;
    }
    return TRUE;
}
#endif

// From the first call of a run with the dialog until the dialog shows (Win32)
// or the run reaches it (native), in milliseconds.
double millisecondsToDialog(Document& document) {
    HostSession session(ENTRYPOINT1, nullptr);
    session.setDocument(&document);
    const auto start = Clock::now();
#ifdef _WIN32
    std::atomic<double> shown{-1};
    const DWORD runThread = GetCurrentThreadId();
    std::thread watcher([&] {
        for (int polls = 0; polls < 600000 && shown < 0; ++polls) {
            DialogSearch search;
            EnumThreadWindows(runThread, findDialog, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                shown = millisecondsSince(start);
                PostMessageA(search.found, WM_COMMAND, IDCANCEL, 0);
            }
            Sleep(1);
        }
    });
    session.runFilter(true);
    watcher.join();
    return shown;
#else
    session.runFilter(true);
    return millisecondsSince(start);
#endif
}
} // namespace

int main(int argc, char** argv) {
    const int size = argc > 1 ? std::atoi(argv[1]) : 4096;
    if (size < 64 || size > 30000) {
        std::fprintf(stderr, "usage: orvane_preview_redraw [SIZE]\n");
        return 2;
    }
    Document document = makeBenchDocument(size);
    std::printf("%d x %d pixels; each figure the median of %d redraws\n", size, size, kRedraws);
    for (int lights : {3, 16})
        for (bool relief : {false, true})
            reportRedraws(document, lights, relief);
    std::printf("to the dialog: %.0f ms\n", millisecondsToDialog(document));
    return 0;
}
