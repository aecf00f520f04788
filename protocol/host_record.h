#pragma once
#include <cstddef>
#include <cstdint>

// The host's per-call record. In the 32-bit module every field sits at the
// byte offset the host protocol fixes (checked below); the 64-bit native build
// keeps the same fields in natural layout.

struct Rect16 {
    int16_t top, left, bottom, right;
    int16_t width() const { return int16_t(right - left); }
    int16_t height() const { return int16_t(bottom - top); }
    bool isEmpty() const { return left == right && top == bottom; }
};

using Handle = void**; // pointer to the master pointer of a movable block

struct HostHandleTable;
struct HostPropertyTable;
struct HostScriptRecord;
struct ImageRecord;

struct WindowInfo {
    void* ownerWindow; // HWND of the host window that owns the plug-in's dialogs
};

// Selector 0 receives this smaller record.
struct AboutRecord {
    WindowInfo* windowInfo;
};

using CheckAbortProc = uint8_t (*)();
using ReportProgressProc = void (*)(int32_t done, int32_t total);
using DrawPixelMapProc = int16_t (*)(const ImageRecord* image, const Rect16* sourceRect,
                                     int32_t destRow, int32_t destColumn, void* deviceContext);
using FetchRequestedProc = int16_t (*)();
using ColorServiceProc = int16_t (*)(void* colorRecord);

struct HostRecord {
    uint32_t hostReserved0;
    CheckAbortProc checkAbort;
    ReportProgressProc reportProgress;
    Handle parameterHandle;
    uint8_t hostReserved16[6];
    Rect16 areaRect;
    uint8_t hostReserved30[22];
    Rect16 inputRect;
    int16_t inputPlaneFirst;
    int16_t inputPlaneLast;
    Rect16 outputRect;
    int16_t outputPlaneFirst;
    int16_t outputPlaneLast;
    uint8_t* inputData;
    int32_t inputRowBytes;
    uint8_t* outputData;
    int32_t outputRowBytes;
    uint8_t selectionFlag;
    uint8_t maskAvailable;
    uint8_t hostReserved94[2];
    Rect16 maskRect;
    uint8_t* maskData;
    int32_t maskRowBytes;
    uint8_t hostReserved112[16];
    int16_t imageMode;
    uint8_t hostReserved130[58];
    WindowInfo* windowInfo;
    uint8_t hostReserved192[12];
    DrawPixelMapProc drawPixelMap;
    HostHandleTable* handleTable;
    uint8_t hostReserved212[12];
    FetchRequestedProc fetchRequested;
    uint8_t absolutePlanesSupported;
    uint8_t absolutePlanes;
    uint8_t hostReserved230[8];
    int16_t edgePadding;
    uint8_t hostReserved240[8];
    uint32_t previewCookieIn; // copied to previewCookieOut for every preview tile
    uint32_t previewCookieOut;
    ColorServiceProc colorService;
    int16_t channelCountA, channelCountB, channelCountC, channelCountD;
    uint8_t hostReserved268[20];
    int16_t channelCountE;
    uint8_t hostReserved290[30];
    HostPropertyTable* propertyTable;
    uint8_t hostReserved324[32];
    HostScriptRecord* scriptRecord;
    uint8_t hostReserved360[92];
};

constexpr int16_t kImageModeRgb = 3;
constexpr int16_t kEdgePaddingClampToImage = -1;
constexpr int16_t kEdgePaddingNone = -2;

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(HostRecord, checkAbort) == 4);
static_assert(offsetof(HostRecord, reportProgress) == 8);
static_assert(offsetof(HostRecord, parameterHandle) == 12);
static_assert(offsetof(HostRecord, areaRect) == 22);
static_assert(offsetof(HostRecord, inputRect) == 52);
static_assert(offsetof(HostRecord, inputPlaneFirst) == 60);
static_assert(offsetof(HostRecord, inputPlaneLast) == 62);
static_assert(offsetof(HostRecord, outputRect) == 64);
static_assert(offsetof(HostRecord, outputPlaneFirst) == 72);
static_assert(offsetof(HostRecord, outputPlaneLast) == 74);
static_assert(offsetof(HostRecord, inputData) == 76);
static_assert(offsetof(HostRecord, inputRowBytes) == 80);
static_assert(offsetof(HostRecord, outputData) == 84);
static_assert(offsetof(HostRecord, outputRowBytes) == 88);
static_assert(offsetof(HostRecord, selectionFlag) == 92);
static_assert(offsetof(HostRecord, maskAvailable) == 93);
static_assert(offsetof(HostRecord, maskRect) == 96);
static_assert(offsetof(HostRecord, maskData) == 104);
static_assert(offsetof(HostRecord, maskRowBytes) == 108);
static_assert(offsetof(HostRecord, imageMode) == 128);
static_assert(offsetof(HostRecord, windowInfo) == 188);
static_assert(offsetof(HostRecord, drawPixelMap) == 204);
static_assert(offsetof(HostRecord, handleTable) == 208);
static_assert(offsetof(HostRecord, fetchRequested) == 224);
static_assert(offsetof(HostRecord, absolutePlanesSupported) == 228);
static_assert(offsetof(HostRecord, absolutePlanes) == 229);
static_assert(offsetof(HostRecord, edgePadding) == 238);
static_assert(offsetof(HostRecord, previewCookieIn) == 248);
static_assert(offsetof(HostRecord, previewCookieOut) == 252);
static_assert(offsetof(HostRecord, colorService) == 256);
static_assert(offsetof(HostRecord, channelCountA) == 260);
static_assert(offsetof(HostRecord, channelCountB) == 262);
static_assert(offsetof(HostRecord, channelCountC) == 264);
static_assert(offsetof(HostRecord, channelCountD) == 266);
static_assert(offsetof(HostRecord, channelCountE) == 288);
static_assert(offsetof(HostRecord, propertyTable) == 320);
static_assert(offsetof(HostRecord, scriptRecord) == 356);
static_assert(sizeof(HostRecord) == 452);
#endif
