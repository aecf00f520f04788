// The work area: its procedure unpacks each message for a named handler. The
// drags follow the window's own mouse messages (no loop of their own), so the
// rest of the dialog keeps running while the button is down; the dragged
// figure is drawn inverting the pixels under it and erased by drawing it
// again, and the preview is lit again only when the drag ends. Everything here
// works in the preview layout's pixels; the window shows the layout scaled
// (WorkAreaScale), so only drawing and mouse positions meet the scale.
#include "ui/work_area.h"

#include <new>

#include "platform/win32/gdi.h"
#include "platform/win32/module_instance.h"
#include "resources/resource_ids.h"
#include "ui/light_figures.h"
#include "ui/light_geometry.h"
#include "ui/light_well.h"
#include "ui/main_dialog.h"
#include "ui/mouse_drag.h"
#include "ui/trash.h"
#include "ui/work_area_scale.h"

namespace {
// A press on a dot released sooner than this is a click: it only selects.
constexpr uint32_t kClickMilliseconds = 200;
constexpr int kArrowStep = 1, kShiftArrowStep = 10;

enum class DragKind { None, Move, Handle, NewLight };

// The work area's record, in its window data.
struct WorkArea {
    MouseDrag mouse;
    DragKind kind = DragKind::None;
    bool outlineShown = false;
    PixelPoint lastPoint;
    // Moving a light.
    PixelPoint pressPoint;
    Point16 positionAtPress;
    bool pastClick = false;
    bool trashHighlighted = false;
    // Shaping a light.
    HandleDragStart handle{};
    // Adding a light.
    bool duplicate = false;
    HCURSOR previousCursor = nullptr;
    // Keys: the key whose press came here (a release acts only after it), and
    // whether the arrows moved the light since the preview was last lit.
    UINT keyPressedHere = 0;
    bool movedByArrows = false;
};

WorkArea* recordOf(HWND window) {
    return reinterpret_cast<WorkArea*>(GetWindowLongPtrA(window, 0));
}

PixelRect clientOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.left, client.top, client.right, client.bottom};
}

RECT toRect(const PixelRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// How the window shows the preview's layout: the result image has the
// layout's size. Before the dialog has its preview the window is the layout.
WorkAreaScale scaleOf(HWND window) {
    const PixelRect client = clientOf(window);
    const MainDialog* dialog = mainDialogOf(window);
    const ImageRecord* image = dialog ? &dialog->preview.resultImage : nullptr;
    if (!image || !image->pixels)
        return workAreaScale(client.right, client.bottom, client.right, client.bottom);
    return workAreaScale(image->width(), image->height(), client.right, client.bottom);
}

// The whole layout, in its own pixels.
PixelRect layoutOf(HWND window) {
    const WorkAreaScale scale = scaleOf(window);
    return {0, 0, scale.layoutWidth, scale.layoutHeight};
}

PixelRect dragAreaOf(HWND window) {
    return layoutOf(window).shrunkByOne();
}

// The trash's rectangle in layout pixels.
PixelRect trashRectOf(HWND window, const MainDialog& dialog) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog.window, kControlTrash), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return scaleOf(window).toLayout(PixelRect{r.left, r.top, r.right, r.bottom});
}

// Drawing in layout pixels on a device context of the window.
ScaledDrawing layoutDrawing(HDC dc, const WorkAreaScale& s) {
    return ScaledDrawing(dc, s.numerator, s.denominator, s.offsetX, s.offsetY);
}

// Drawing during a drag.

// The dragged figure's outline, drawn or erased (the same call): with the dot
// while a light moves, its lines alone while a handle moves.
void toggleOutline(HWND window, const MainDialog& dialog, const WorkArea& area, HDC dc) {
    const ClippedTo clip(dc, toRect(dragAreaOf(window)));
    DrawDragOutline(dc, dialog.selectedLight(), dialog.preview.ellipseTable,
                    area.kind == DragKind::Move, false);
}

void showOutline(HWND window, const MainDialog& dialog, WorkArea& area, bool shown) {
    if (area.outlineShown == shown)
        return;
    const WindowDC dc(window);
    const ScaledDrawing inLayout = layoutDrawing(dc.get(), scaleOf(window));
    toggleOutline(window, dialog, area, dc.get());
    area.outlineShown = shown;
}

void highlightTrash(const MainDialog& dialog, WorkArea& area, bool highlighted) {
    if (area.trashHighlighted == highlighted)
        return;
    ShowTrash(dialog.window, highlighted);
    area.trashHighlighted = highlighted;
}

// Changes of the settings.

void moveSelectedLight(MainDialog& dialog, PixelPoint centre) {
    LightSource& light = dialog.selectedLight();
    light.position = positionForCentre(light, centre);
    dialog.selectedLightChanged();
}

// Removes the selected light with its caches; light 0 becomes the selected one.
void removeSelectedLight(MainDialog& dialog) {
    Settings& settings = dialog.settings;
    const int index = settings.currentLight, count = settings.lightCount;
    if (settings.DeleteSelectedLight())
        dialog.preview.lightRemoved(index, count);
    SyncLightControls(dialog);
}

void showOnlyLightAlert() {
    showWarningMessage(kStringAlertTitle, kStringOnlyLightAlert);
}

// Moving a light by its dot.

void beginMove(HWND window, const MainDialog& dialog, WorkArea& area, PixelPoint p) {
    area.kind = DragKind::Move;
    area.pressPoint = p;
    area.positionAtPress = dialog.selectedLight().position;
    area.pastClick = false;
    area.outlineShown = false;
    area.trashHighlighted = false;
    area.mouse.begin(window);
}

// The light follows the mouse inside the drag area; over the trash the trash
// lights up instead; elsewhere neither shows.
void followMove(HWND window, MainDialog& dialog, WorkArea& area, PixelPoint p) {
    if (dragAreaOf(window).contains(p)) {
        highlightTrash(dialog, area, false);
        if (area.outlineShown && p == area.lastPoint)
            return;
        showOutline(window, dialog, area, false);
        moveSelectedLight(dialog, p);
        area.lastPoint = p;
        showOutline(window, dialog, area, true);
    } else {
        showOutline(window, dialog, area, false);
        highlightTrash(dialog, area, trashRectOf(window, dialog).contains(p));
    }
}

// Past the click time the light first jumps to where the button went down.
bool passClickTime(HWND window, MainDialog& dialog, WorkArea& area) {
    if (!area.pastClick && !area.mouse.withinMillisecondsOfPress(kClickMilliseconds)) {
        area.pastClick = true;
        followMove(window, dialog, area, area.pressPoint);
    }
    return area.pastClick;
}

enum class MoveEnd { Click, Dropped, OnTrash, Outside };

MoveEnd moveEndAt(HWND window, MainDialog& dialog, WorkArea& area, PixelPoint p) {
    if (!passClickTime(window, dialog, area))
        return MoveEnd::Click;
    followMove(window, dialog, area, p);
    if (dragAreaOf(window).contains(p))
        return MoveEnd::Dropped;
    return trashRectOf(window, dialog).contains(p) ? MoveEnd::OnTrash : MoveEnd::Outside;
}

// After the capture is released: the drop, the removal, or the light back
// where it was.
void finishMove(MainDialog& dialog, WorkArea& area, MoveEnd end) {
    area.kind = DragKind::None;
    highlightTrash(dialog, area, false);
    bool changed = end == MoveEnd::Dropped;
    bool refused = false;
    if (end == MoveEnd::OnTrash && dialog.settings.lightCount > 1) {
        removeSelectedLight(dialog);
        changed = true;
    } else if (end == MoveEnd::OnTrash || end == MoveEnd::Outside) {
        dialog.selectedLight().position = area.positionAtPress;
        dialog.selectedLightChanged();
        refused = end == MoveEnd::OnTrash;
    }
    if (changed)
        RefreshPreview(dialog);
    else
        RedrawControl(dialog.window, kControlWorkArea);
    UpdateLightWell(dialog.window, dialog.settings.lightCount);
    if (refused)
        showOnlyLightAlert();
}

// Shaping a light by a handle.

void changeHandle(HWND window, MainDialog& dialog, WorkArea& area, PixelPoint p,
                  Constraint constraint) {
    showOutline(window, dialog, area, false);
    applyHandleChange(dialog.selectedLight(), area.handle, p, constraint);
    dialog.selectedLightChanged();
    area.lastPoint = p;
    showOutline(window, dialog, area, true);
}

Constraint constraintOfKeys(WPARAM keys) {
    return constraintOf((keys & MK_SHIFT) != 0, (keys & MK_CONTROL) != 0);
}

void beginHandleDrag(HWND window, MainDialog& dialog, WorkArea& area, HitCode code, PixelPoint p,
                     WPARAM keys) {
    const LightSource& light = dialog.selectedLight();
    area.kind = DragKind::Handle;
    area.handle = {code, light.vector0, light.vector1};
    area.outlineShown = true; // the figure's lines as painted: erased first
    area.mouse.begin(window);
    changeHandle(window, dialog, area, dragAreaOf(window).clamp(p), constraintOfKeys(keys));
}

void followHandle(HWND window, MainDialog& dialog, WorkArea& area, PixelPoint p, WPARAM keys) {
    const PixelPoint clamped = dragAreaOf(window).clamp(p);
    if (clamped != area.lastPoint)
        changeHandle(window, dialog, area, clamped, constraintOfKeys(keys));
}

// Adding a light.

HCURSOR newLightCursor() {
    return LoadCursorA(moduleInstance(), MAKEINTRESOURCEA(kCursorBulbSmall));
}

void finishNewLight(HWND window, MainDialog& dialog, WorkArea& area, const PixelPoint* release) {
    area.kind = DragKind::None;
    SetCursor(area.previousCursor);
    Settings& settings = dialog.settings;
    if (release && layoutOf(window).containsStrictly(*release)) {
        const int16_t x = int16_t(release->x), y = int16_t(release->y);
        if (area.duplicate ? settings.DuplicateLight(x, y) : settings.addLightAt(x, y))
            dialog.selectedLightChanged();
        SyncLightControls(dialog);
        RefreshPreview(dialog);
    } else {
        RedrawControl(dialog.window, kControlWorkArea);
    }
    UpdateLightWell(dialog.window, settings.lightCount);
}

// The end of any drag, released at `release` or, for null, cut short by the
// loss of the capture.
void finishDrag(HWND window, MainDialog& dialog, WorkArea& area, const PixelPoint* release) {
    switch (area.kind) {
    case DragKind::Move: {
        const MoveEnd end = release ? moveEndAt(window, dialog, area, *release) : MoveEnd::Outside;
        showOutline(window, dialog, area, false);
        area.mouse.end();
        finishMove(dialog, area, end);
        break;
    }
    case DragKind::Handle:
        area.mouse.end();
        area.kind = DragKind::None;
        RefreshPreview(dialog);
        break;
    case DragKind::NewLight:
        area.mouse.end();
        finishNewLight(window, dialog, area, release);
        break;
    case DragKind::None:
        break;
    }
}

// Keys.

void selectNeighbour(MainDialog& dialog, bool previous) {
    Settings& settings = dialog.settings;
    if (settings.lightCount < 2)
        return;
    const int step = previous ? settings.lightCount - 1 : 1;
    settings.currentLight = uint16_t((settings.currentLight + step) % settings.lightCount);
    SyncLightControls(dialog);
    RedrawControl(dialog.window, kControlWorkArea);
}

void deleteByKey(MainDialog& dialog) {
    if (dialog.settings.lightCount <= 1) {
        showOnlyLightAlert();
        return;
    }
    removeSelectedLight(dialog); // the well takes lights again
    RefreshPreview(dialog);
}

bool isArrow(UINT key) {
    return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

// Moves the selected light a step within the drag area and shows it there at
// once; the preview is lit again when the key is released.
void moveByArrow(HWND window, MainDialog& dialog, WorkArea& area, UINT key) {
    const int step = GetKeyState(VK_SHIFT) < 0 ? kShiftArrowStep : kArrowStep;
    const PixelPoint m = lightCentre(dialog.selectedLight());
    const int dx = key == VK_LEFT ? -step : key == VK_RIGHT ? step : 0;
    const int dy = key == VK_UP ? -step : key == VK_DOWN ? step : 0;
    const PixelPoint to = dragAreaOf(window).clamp({m.x + dx, m.y + dy});
    if (to == m)
        return;
    moveSelectedLight(dialog, to);
    area.movedByArrows = true;
    RedrawControl(dialog.window, kControlWorkArea);
}

// The keys the work area takes from the dialog manager: Tab (which would move
// the focus) and the arrows always, and the press and release of Escape
// (which would cancel the dialog on its press, before the work area's own
// cancel on the release).
UINT dialogCodeFor(const MSG* message) {
    UINT code = DLGC_WANTTAB | DLGC_WANTARROWS;
    if (message && (message->message == WM_KEYDOWN || message->message == WM_KEYUP) &&
        message->wParam == VK_ESCAPE)
        code |= DLGC_WANTMESSAGE;
    return code;
}

// Message handlers. Each finds the dialog and the record, and does nothing
// without them.

struct Context {
    MainDialog* dialog;
    WorkArea* area;
    explicit operator bool() const { return dialog && area; }
};

Context contextOf(HWND window) {
    return {mainDialogOf(window), recordOf(window)};
}

void onCreate(HWND window) {
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(new (std::nothrow) WorkArea));
}

void onNcDestroy(HWND window) {
    delete recordOf(window);
    SetWindowLongPtrA(window, 0, 0);
}

// A drag still running when the window goes ends without touching anything.
void onDestroy(HWND window) {
    if (WorkArea* area = recordOf(window)) {
        area->kind = DragKind::None;
        area->mouse.end();
    }
}

// Around the shown layout, when the window is not of its shape: the dialog's face.
void fillAroundLayout(HWND window, HDC dc, const WorkAreaScale& scale) {
    const PixelRect shown = scale.shownLayout();
    const RECT client = toRect(clientOf(window));
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, shown.left, shown.top, shown.right, shown.bottom);
    const Brush face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    FillRect(dc, &client, face.get());
    RestoreDC(dc, saved);
}

// The preview's picture through the host's pixel display: drawn at the
// layout's size in memory, then stretched over the window's share of it
// (copied as it is at 96 DPI). False when it could not be drawn.
bool drawPreviewPicture(HDC dc, const MainDialog& dialog, const WorkAreaScale& scale) {
    const ImageRecord& image = dialog.preview.resultImage;
    const int width = image.width(), height = image.height();
    const MemoryDC memory(dc);
    const Bitmap picture(CreateCompatibleBitmap(dc, width, height));
    if (!memory.get() || !picture)
        return false;
    const SelectedObject selected(memory.get(), picture.get());
    const Rect16 bounds{0, 0, int16_t(height), int16_t(width)};
    if (dialog.host.drawPixelMap(&image, &bounds, 0, 0, memory.get()) != 0)
        return false;
    const PixelRect shown = scale.shownLayout();
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    return StretchBlt(dc, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top,
                      memory.get(), 0, 0, width, height, SRCCOPY) != 0;
}

// The preview, then the lights over it; while a drag runs, the dragged figure
// as the drag shows it.
void onPaint(HWND window) {
    const PaintDC dc(window);
    const Context c = contextOf(window);
    if (!c || !c.dialog->host.drawPixelMap || !c.dialog->preview.resultImage.pixels)
        return;
    const WorkAreaScale scale = scaleOf(window);
    fillAroundLayout(window, dc.get(), scale);
    if (!drawPreviewPicture(dc.get(), *c.dialog, scale))
        return;
    const ScaledDrawing inLayout = layoutDrawing(dc.get(), scale);
    const Settings& settings = c.dialog->settings;
    const DragKind kind = c.area->kind;
    if (kind != DragKind::Move && kind != DragKind::Handle) {
        DrawLights(dc.get(), settings, c.dialog->preview.ellipseTable);
        return;
    }
    for (int i = 0; i < settings.lightCount; ++i)
        if (i != settings.currentLight || kind == DragKind::Handle)
            DrawLightDot(dc.get(), settings.lights[i]);
    if (c.area->outlineShown)
        toggleOutline(window, *c.dialog, *c.area, dc.get());
}

void onButtonDown(HWND window, PixelPoint p, WPARAM keys) {
    SetFocus(window);
    const Context c = contextOf(window);
    if (!c || c.area->kind != DragKind::None)
        return;
    MainDialog& dialog = *c.dialog;
    int index = 0;
    const HitCode code = HitTestLights(dialog.settings, p, index);
    if (code == HitNothing)
        return;
    if (index != dialog.settings.currentLight) {
        dialog.settings.currentLight = uint16_t(index);
        SyncLightControls(dialog);
        RedrawControl(dialog.window, kControlWorkArea);
    }
    if (code != HitDot)
        beginHandleDrag(window, dialog, *c.area, code, p, keys);
    else if (GetKeyState(VK_MENU) < 0) // Alt as it was when the button went down
        NewLightDrag(window, true);
    else
        beginMove(window, dialog, *c.area, p);
}

void onMouseMove(HWND window, PixelPoint p, WPARAM keys) {
    const Context c = contextOf(window);
    if (!c || !c.area->mouse.active())
        return;
    if (c.area->kind == DragKind::Move && passClickTime(window, *c.dialog, *c.area))
        followMove(window, *c.dialog, *c.area, p);
    else if (c.area->kind == DragKind::Handle)
        followHandle(window, *c.dialog, *c.area, p, keys);
}

void onButtonUp(HWND window, PixelPoint p, WPARAM keys) {
    const Context c = contextOf(window);
    if (!c || !c.area->mouse.active())
        return;
    if (c.area->kind == DragKind::Handle)
        followHandle(window, *c.dialog, *c.area, p, keys);
    finishDrag(window, *c.dialog, *c.area, &p);
}

// Another window took the mouse: the drag ends as if released outside.
void onCaptureLost(HWND window) {
    const Context c = contextOf(window);
    if (c && c.area->mouse.active())
        finishDrag(window, *c.dialog, *c.area, nullptr);
}

// The new light's cursor stays while it is dragged.
bool onSetCursor(HWND window) {
    const WorkArea* area = recordOf(window);
    if (!area || area->kind != DragKind::NewLight)
        return false;
    SetCursor(newLightCursor());
    return true;
}

// Keys wait while a drag runs.
void onKeyDown(HWND window, UINT key) {
    const Context c = contextOf(window);
    if (!c || c.area->kind != DragKind::None)
        return;
    if (isArrow(key))
        moveByArrow(window, *c.dialog, *c.area, key);
    else
        c.area->keyPressedHere = key;
}

void onKeyUp(HWND window, UINT key) {
    const Context c = contextOf(window);
    if (!c || c.area->kind != DragKind::None)
        return;
    MainDialog& dialog = *c.dialog;
    if (isArrow(key)) {
        if (c.area->movedByArrows)
            RefreshPreview(dialog);
        c.area->movedByArrows = false;
        return;
    }
    if (key != c.area->keyPressedHere)
        return; // pressed elsewhere: the focus came here with it
    c.area->keyPressedHere = 0;
    if (key == VK_TAB)
        selectNeighbour(dialog, GetKeyState(VK_SHIFT) < 0);
    else if (key == VK_DELETE)
        deleteByKey(dialog);
    else if (key == VK_ESCAPE)
        SendMessageA(dialog.window, WM_COMMAND, kControlCancel, 0);
}

// A mouse message's point in layout pixels.
PixelPoint pointOf(HWND window, LPARAM lParam) {
    return scaleOf(window).toLayout(PixelPoint{int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam))});
}
} // namespace

void NewLightDrag(HWND workArea, bool duplicate) {
    const Context c = contextOf(workArea);
    if (!c || c.area->kind != DragKind::None || c.dialog->settings.lightCount >= kMaxLights)
        return;
    c.area->kind = DragKind::NewLight;
    c.area->duplicate = duplicate;
    c.area->mouse.begin(workArea);
    EmptyLightWell(c.dialog->window);
    c.area->previousCursor = SetCursor(newLightCursor());
}

LRESULT CALLBACK workAreaWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        onCreate(window);
        return 0;
    case WM_DESTROY:
        onDestroy(window);
        return 0;
    case WM_NCDESTROY:
        onNcDestroy(window);
        return 0;
    case WM_PAINT:
        onPaint(window);
        return 0;
    case WM_GETDLGCODE:
        return dialogCodeFor(reinterpret_cast<const MSG*>(lParam));
    case WM_LBUTTONDOWN:
        onButtonDown(window, pointOf(window, lParam), wParam);
        return 0;
    case WM_MOUSEMOVE:
        onMouseMove(window, pointOf(window, lParam), wParam);
        return 0;
    case WM_LBUTTONUP:
        onButtonUp(window, pointOf(window, lParam), wParam);
        return 0;
    case WM_CAPTURECHANGED:
        onCaptureLost(window);
        return 0;
    case WM_SETCURSOR:
        if (onSetCursor(window))
            return TRUE;
        break;
    case WM_KEYDOWN:
        onKeyDown(window, UINT(wParam));
        return 0;
    case WM_KEYUP:
        onKeyUp(window, UINT(wParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
