// Random editing sessions in the main dialog, driven as a user drives it
// through the dialog's own message loop, each ending with OK. Whatever the
// user did, the settings recorded at OK replay to exactly the image OK lit,
// the replay records the very same script, and the dialog leaves no GDI
// object behind. Each session also leaves its input, OK's image and its
// recording in artifacts/sessions/, which the command-line tests replay with
// the native build.
//
// ORVANE_DIALOG_SESSIONS sets the number of sessions (scripts/sessions runs
// many), ORVANE_DIALOG_SESSION_SEED the first session's seed; a failing
// session prints its seed and the actions it took.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "lighting/parameter_block.h"
#include "protocol/colour_record.h"
#include "protocol/result_codes.h"
#include "resources/resource_ids.h"
#include "styles/style_library.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/styles_test_support.h"
#include "tests/support/test_host.h"
#include "tests/support/user_input.h"
#include "tests/support/win32_module.h"
#include "ui/light_geometry.h"
#include "ui/slider_control.h"

// The host library that the tests link holds stb's implementation.
#include <stb/stb_image_write.h>

namespace fs = std::filesystem;

namespace {
constexpr int kWidth = 160, kHeight = 120;
constexpr int kActionsPerSession = 30;

int numberFromEnvironment(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

// The host's colour picker answers what the session chose before the click.
struct HostPickerAnswer {
    uint16_t components[3] = {};
    bool cancelled = false;
} hostPickerAnswer;

int16_t sessionHostPicker(void* data) {
    if (hostPickerAnswer.cancelled)
        return result::cancelled;
    auto* record = static_cast<ColourRecord*>(data);
    for (int c = 0; c < 3; ++c)
        record->components[c] = hostPickerAnswer.components[c];
    return result::ok;
}

const int kSliders[] = {kControlRelief,   kControlGloss,     kControlMaterial, kControlExposure,
                        kControlAmbience, kControlIntensity, kControlFocus};
const int kCheckBoxes[] = {kControlLightOn, kControlWhiteIsHigh, kControlPreviewOn};
const int kCombos[] = {kControlStyleList, kControlLightType, kControlTextureChannel};
const char* const kStyleNames[] = {"Essai", "Essai 2", "Par défaut", "Nuit bleue"};

POINT pointOf(PixelPoint p) {
    return {p.x, p.y};
}

SIZE clientSizeOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// A dialog-class window of the thread other than the main dialog: a modal
// window the dialog opened, visible or not yet (a dialog shows once its
// thread has nothing else to do, and it answers commands before that).
struct OpenedWindowSearch {
    HWND dialog;
    HWND found = nullptr;
};

BOOL CALLBACK findOpenedWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<OpenedWindowSearch*>(parameter);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (window != search->dialog && lstrcmpA(className, "#32770") == 0)
        search->found = window;
    return search->found == nullptr;
}

// Waits until a window the dialog opened is gone; false when it stays.
bool waitUntilGone(HWND window) {
    for (int waited = 0; IsWindow(window); waited += 10) {
        if (waited > 4000)
            return false;
        Sleep(10);
    }
    return true;
}

HWND openedWindowOf(HWND dialog) {
    OpenedWindowSearch search{dialog};
    EnumThreadWindows(GetWindowThreadProcessId(dialog, nullptr), findOpenedWindow,
                      reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// One session's random actions on an open dialog. The settings are read only
// while the dialog's thread waits for input.
class SessionDriver {
  public:
    SessionDriver(HWND dialog, TestHost& host, uint32_t seed)
        : dialog(dialog), host(host), random(seed), user(dialog) {}

    void run(int actions) {
        for (int i = 0; i < actions && IsWindow(dialog); ++i) {
            act();
            user.settle();
            answerOpenedWindows();
        }
        note("OK");
        pressButton(dialog, kControlOk);
    }

    std::string log;

  private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    bool chance(int percent) { return below(100) < percent; }
    HWND item(int id) const { return GetDlgItem(dialog, id); }
    bool enabled(int id) const { return IsWindowEnabled(item(id)) != 0; }
    const Settings& settings() const { return host.state()->settings; }
    void note(const std::string& action) { log += action + "; "; }

    void act() {
        switch (below(12)) {
        case 0:
        case 1:
            return moveSlider();
        case 2:
            return dragLight();
        case 3:
            return dragHandle();
        case 4:
            return dragFromWell();
        case 5:
            return typeInWorkArea();
        case 6:
            return typeOnFocusedControl();
        case 7:
            return chooseInCombo();
        case 8:
            return toggleCheckBox();
        case 9:
            return pickColour();
        case 10:
            return saveStyle();
        default:
            return deleteStyle();
        }
    }

    // A point of the work area, now and then beside it or on the trash.
    std::pair<HWND, POINT> dropPoint() {
        const HWND area = item(kControlWorkArea);
        const SIZE size = clientSizeOf(area);
        if (chance(10))
            return {item(kControlTrash), {6, 6}};
        if (chance(10))
            return {area, {size.cx + 30, below(size.cy)}};
        return {area, {below(size.cx), below(size.cy)}};
    }

    // A drag in the work area, with Shift, Control or Alt held now and then.
    void dragInWorkArea(POINT from, HWND toWindow, POINT to) {
        const HWND area = item(kControlWorkArea);
        switch (chance(60) ? 0 : 1 + below(3)) {
        case 0:
            return user.drag(area, from, toWindow, to);
        case 1:
            note("with Shift");
            return user.drag(area, from, toWindow, to, {VK_SHIFT});
        case 2:
            note("with Control");
            return user.drag(area, from, toWindow, to, {VK_CONTROL});
        default:
            note("with Alt");
            return user.drag(area, from, toWindow, to, {VK_MENU});
        }
    }

    void moveSlider() {
        const int id = kSliders[below(7)];
        const HWND slider = item(id);
        const auto* record = reinterpret_cast<const SliderRecord*>(GetWindowLongPtrA(slider, 0));
        const SliderGeometry g = sliderGeometry(record->width, record->height, record->labelWidth);
        const int y = g.trackY + 2;
        auto anyX = [&] { return g.trackLeft - 20 + below(g.trackRight - g.trackLeft + 41); };
        const int from = g.trackLeft + below(g.trackRight - g.trackLeft + 1), to = anyX();
        if (chance(50)) {
            note("click slider " + std::to_string(id) + " at " + std::to_string(from));
            user.click(slider, {from, y});
            return;
        }
        note("drag slider " + std::to_string(id) + " from " + std::to_string(from) + " to " +
             std::to_string(to));
        user.press(slider, {from, y});
        Sleep(120); // longer than a click
        user.moveTo(slider, {(from + to) / 2, y});
        user.moveTo(slider, {to, y});
        user.release(slider, {to, y});
    }

    void dragLight() {
        const int index = below(settings().lightCount);
        const POINT from = pointOf(lightCentre(settings().lights[index]));
        const auto [window, to] = dropPoint();
        note("drag light " + std::to_string(index) + " to " + std::to_string(to.x) + "," +
             std::to_string(to.y) + (window == item(kControlTrash) ? " on the trash" : ""));
        dragInWorkArea(from, window, to);
    }

    void dragHandle() {
        const LightSource& light = settings().lights[settings().currentLight];
        const std::vector<LightHandle> handles = lightHandles(light);
        if (handles.empty())
            return;
        const POINT from = pointOf(handles[below(int(handles.size()))].at);
        const auto [window, to] = dropPoint();
        note("drag handle at " + std::to_string(from.x) + "," + std::to_string(from.y) + " to " +
             std::to_string(to.x) + "," + std::to_string(to.y));
        dragInWorkArea(from, window, to);
    }

    void dragFromWell() {
        if (!enabled(kControlLightWell))
            return;
        const auto [window, to] = dropPoint();
        note("new light at " + std::to_string(to.x) + "," + std::to_string(to.y));
        user.drag(item(kControlLightWell), {8, 8}, window, to);
    }

    void typeInWorkArea() {
        static const WORD kKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_TAB, VK_DELETE};
        const HWND area = item(kControlWorkArea);
        const SIZE size = clientSizeOf(area);
        user.click(area, {below(size.cx), below(size.cy)}); // takes the focus
        const WORD key = kKeys[below(6)];
        const bool shift = chance(30);
        note("key " + std::to_string(key) + (shift ? " with Shift" : ""));
        if (shift)
            user.type(key, {VK_SHIFT});
        else
            user.type(key);
    }

    // The focus on a combo or a check box, then a key that changes it.
    void typeOnFocusedControl() {
        const bool combo = chance(50);
        const int id = combo ? kCombos[below(3)] : kCheckBoxes[below(3)];
        if (!enabled(id))
            return;
        PostMessageA(dialog, WM_NEXTDLGCTL, WPARAM(item(id)), TRUE);
        user.settle();
        const WORD key = combo ? (chance(50) ? VK_DOWN : VK_UP) : VK_SPACE;
        note("key " + std::to_string(key) + " on control " + std::to_string(id));
        user.type(key);
    }

    void chooseInCombo() {
        const int id = kCombos[below(3)];
        const int rows = int(SendMessageA(item(id), CB_GETCOUNT, 0, 0));
        if (!enabled(id) || rows <= 0)
            return;
        const int row = below(rows);
        note("row " + std::to_string(row) + " of combo " + std::to_string(id));
        // Posted, as a style that fails to load answers with a message box.
        SendMessageA(item(id), CB_SETCURSEL, WPARAM(row), 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), LPARAM(item(id)));
    }

    void toggleCheckBox() {
        const int id = kCheckBoxes[below(3)];
        if (!enabled(id))
            return;
        note("check box " + std::to_string(id));
        pressButton(dialog, id);
    }

    // Through the host's picker or, when the host has none, the system's.
    void pickColour() {
        const int id = chance(50) ? kControlAmbientColour : kControlLightColour;
        if (!enabled(id))
            return;
        const bool hostPicker = chance(50);
        hostPickerAnswer.cancelled = chance(15);
        for (uint16_t& component : hostPickerAnswer.components)
            component = uint16_t(below(256));
        host.record.colorService = hostPicker ? sessionHostPicker : nullptr;
        note(std::string("colour ") + std::to_string(id) + (hostPicker ? " by the host" : ""));
        pressButtonThatOpensAWindow(dialog, id);
    }

    void saveStyle() {
        note("save style");
        pressButtonThatOpensAWindow(dialog, kControlSaveStyle);
    }

    void deleteStyle() {
        if (!enabled(kControlDeleteStyle))
            return;
        note("delete style");
        pressButtonThatOpensAWindow(dialog, kControlDeleteStyle);
    }

    // Every window the last action opened (a message box, the style name
    // dialog, the system colour dialog, one after the other) answered at random.
    void answerOpenedWindows() {
        for (int round = 0; round < 8; ++round) {
            const HWND opened = openedWindowOf(dialog);
            if (!opened)
                return;
            answer(opened);
            if (!waitUntilGone(opened)) {
                ADD_FAILURE() << "an opened window stayed";
                return;
            }
            user.settle();
        }
        ADD_FAILURE() << "windows kept opening";
    }

    void answer(HWND window) {
        constexpr int kRedField = 706; // then green and blue
        if (GetDlgItem(window, kControlStyleName)) {
            const std::string name = systemName(kStyleNames[below(4)]);
            const bool confirmed = chance(85);
            note("named '" + name + "'" + (confirmed ? "" : ", cancelled"));
            SetDlgItemTextA(window, kControlStyleName, name.c_str());
            PostMessageA(window, WM_COMMAND,
                         confirmed ? kControlStyleNameOk : kControlStyleNameCancel, 0);
        } else if (GetDlgItem(window, kRedField)) {
            const bool confirmed = chance(85);
            std::string components;
            for (int field = kRedField; field < kRedField + 3; ++field) {
                const std::string text = std::to_string(below(256));
                SetDlgItemTextA(window, field, text.c_str());
                components += text + " ";
            }
            note("system colour " + components + (confirmed ? "" : "cancelled"));
            PostMessageA(window, WM_COMMAND, confirmed ? IDOK : IDCANCEL, 0);
        } else {
            const int button = GetDlgItem(window, IDYES) ? (chance(60) ? IDYES : IDNO) : IDOK;
            note("answered '" + messageText(window) + "' with " + std::to_string(button));
            PostMessageA(window, WM_COMMAND, WPARAM(button), 0);
        }
    }

    HWND dialog;
    TestHost& host;
    std::mt19937 random;
    UserInput user;
};

// A kept parameter block, but for the relief when there is no texture: a
// script leaves the relief out then, and nothing lights with it.
std::vector<uint8_t> comparableBlock(std::vector<uint8_t> bytes) {
    if (bytes.size() != sizeof(ParameterBlock))
        return bytes;
    ParameterBlock block;
    std::memcpy(&block, bytes.data(), sizeof block);
    if (block.textureChannel == 0)
        block.relief = 0;
    std::memcpy(bytes.data(), &block, sizeof block);
    return bytes;
}

std::vector<uint8_t> replayed(const std::string& script, std::string& recordedAgain,
                              std::vector<uint8_t>& parameters) {
    std::string error;
    const std::optional<Descriptor> descriptor = scriptDescriptor(script, error);
    EXPECT_TRUE(descriptor) << error;
    TestHost replay(kWidth, kHeight);
    if (!descriptor || !replay.session.playScript(*descriptor, false))
        return {};
    EXPECT_EQ(replay.runFilter(), 0);
    recordedAgain = replay.takeRecordedScript();
    parameters = comparableBlock(replay.session.parameterBytes());
    return replay.rgb();
}

size_t differingSamples(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size())
        return std::max(a.size(), b.size());
    size_t count = 0;
    for (size_t i = 0; i < a.size(); ++i)
        count += a[i] != b[i];
    return count;
}

void writeTextFile(const fs::path& path, const std::string& text) {
    writeWholeFile(path.string(), std::vector<uint8_t>(text.begin(), text.end()));
}

void writePng(const fs::path& path, const std::vector<uint8_t>& rgb) {
    EXPECT_NE(stbi_write_png(path.string().c_str(), kWidth, kHeight, 3, rgb.data(), kWidth * 3), 0);
}

class DialogSessionsTest : public StyleFolderTest {
  protected:
    // The shipped styles in the scratch style folder, afresh for each session.
    void copyShippedStyles() {
        const fs::path scratch = folder();
        for (const auto& entry : fs::directory_iterator(scratch))
            fs::remove(entry.path());
        const fs::path shipped =
            fs::path(builtModulePath()).parent_path() / systemName("Lighting Styles");
        for (const auto& entry : fs::directory_iterator(shipped))
            fs::copy_file(entry.path(), scratch / entry.path().filename());
    }

    // OK after `drive` acted on the dialog of a fresh plug-in: the lit image.
    std::vector<uint8_t> litAfter(const std::function<void(HWND)>& drive) {
        TestHost host(kWidth, kHeight);
        int16_t outcome = 99;
        EXPECT_TRUE(driveModalWindow(
            "#32770", [&] { outcome = host.session.runFilter(true); },
            [&](HWND dialog) {
                drive(dialog);
                pressButton(dialog, kControlOk);
            }));
        EXPECT_EQ(outcome, 0);
        return host.rgb();
    }

    // The style chosen in the dialog's list, as the user chooses it.
    static void chooseStyle(HWND dialog, const std::string& name) {
        const int row = int(SendDlgItemMessageA(dialog, kControlStyleList, CB_FINDSTRINGEXACT,
                                                WPARAM(-1), LPARAM(name.c_str())));
        ASSERT_GE(row, 0) << name;
        chooseRow(dialog, kControlStyleList, row);
    }

    struct Session {
        std::vector<uint8_t> input, lit;
        std::string recording, log;
        std::vector<uint8_t> parameters; // the block the host keeps
    };

    // The dialog edited at random from the seed, then OK.
    void edit(uint32_t seed, Session& session) {
        copyShippedStyles();
        TestHost host(kWidth, kHeight);
        session.input = host.rgb();
        int16_t outcome = 99;
        const bool closed = driveModalWindow(
            "#32770", [&] { outcome = host.session.runFilter(true); },
            [&](HWND dialog) {
                SessionDriver driver(dialog, host, seed);
                driver.run(kActionsPerSession);
                session.log = driver.log;
            });
        SCOPED_TRACE("actions: " + session.log);
        ASSERT_TRUE(closed) << "the dialog stayed open";
        ASSERT_EQ(outcome, 0);
        session.lit = host.rgb();
        session.recording = host.takeRecordedScript();
        session.parameters = comparableBlock(host.session.parameterBytes());
        ASSERT_FALSE(session.recording.empty());
    }

    // Each session runs twice. Wine keeps GDI objects it made for the first
    // showing of a window or a cursor; the same actions again must leave none
    // behind, and give the same image and recording.
    void runSession(uint32_t seed, const fs::path& artifacts) {
        Session first, second;
        edit(seed, first);
        if (HasFatalFailure())
            return;
        const DWORD gdiBefore = gdiObjectCount();
        edit(seed, second);
        if (HasFatalFailure())
            return;
        SCOPED_TRACE("actions: " + second.log);
        EXPECT_LE(gdiObjectCount(), gdiBefore) << "GDI objects left behind";
        EXPECT_EQ(second.log, first.log);
        EXPECT_TRUE(second.lit == first.lit) << "the same actions lit another image";
        EXPECT_EQ(second.recording, first.recording);

        std::string recordedAgain;
        std::vector<uint8_t> parameters;
        const std::vector<uint8_t> replay = replayed(second.recording, recordedAgain, parameters);
        EXPECT_TRUE(parameters == second.parameters) << "the replay keeps another block";
        EXPECT_EQ(differingSamples(replay, second.lit), 0u) << "the replay lights another image";
        EXPECT_EQ(recordedAgain, second.recording) << "the replay records another script";

        const std::string name = "session-" + std::to_string(seed);
        writePng(artifacts / (name + "-input.png"), second.input);
        writePng(artifacts / (name + "-ok.png"), second.lit);
        writeTextFile(artifacts / (name + "-recording.json"), second.recording);
    }
};
} // namespace

TEST_F(DialogSessionsTest, EverySessionRecordsWhatOkLit) {
    const int sessions = numberFromEnvironment("ORVANE_DIALOG_SESSIONS", 4);
    // Seeds 8 and 11 leave a slider on a position that a slider resting
    // anywhere would have recorded as its neighbour.
    const int firstSeed = numberFromEnvironment("ORVANE_DIALOG_SESSION_SEED", 8);
    const fs::path artifacts = artifactPath("sessions");
    fs::remove_all(artifacts);
    fs::create_directories(artifacts);
    for (int i = 0; i < sessions; ++i) {
        const uint32_t seed = uint32_t(firstSeed + i);
        SCOPED_TRACE("session seed " + std::to_string(seed) +
                     " (again: ORVANE_DIALOG_SESSION_SEED=" + std::to_string(seed) +
                     " ORVANE_DIALOG_SESSIONS=1)");
        runSession(seed, artifacts);
        if (HasFatalFailure())
            return;
    }
}

// A style saved from the dialog after edits, chosen again in a later dialog,
// lights what OK lit when it was saved.
TEST_F(DialogSessionsTest, AStyleSavedFromTheDialogLightsWhatOkLit) {
    copyShippedStyles();
    const std::string saved = "Essai";
    const std::vector<uint8_t> lit = litAfter([&](HWND dialog) {
        chooseStyle(dialog, systemName("Studio trois points"));
        UserInput user(dialog);
        const HWND area = GetDlgItem(dialog, kControlWorkArea);
        user.drag(GetDlgItem(dialog, kControlLightWell), {8, 8}, area, {97, 141});
        user.click(GetDlgItem(dialog, kControlMaterial), {120, 14});
        pressButtonThatOpensAWindow(dialog, kControlSaveStyle);
        user.settle();
        const HWND nameDialog = openedWindowOf(dialog);
        ASSERT_NE(nameDialog, nullptr);
        SetDlgItemTextA(nameDialog, kControlStyleName, saved.c_str());
        PostMessageA(nameDialog, WM_COMMAND, kControlStyleNameOk, 0);
        ASSERT_TRUE(waitUntilGone(nameDialog));
        user.settle();
    });
    ASSERT_TRUE(StyleExists(saved));
    EXPECT_EQ(differingSamples(litAfter([&](HWND dialog) { chooseStyle(dialog, saved); }), lit),
              0u);
}
