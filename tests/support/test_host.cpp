#include "tests/support/test_host.h"

#include <algorithm>
#include <cstring>

#include "shell/checked_alloc.h"
#include "shell/plugin_api.h"

namespace {
TestHost* current = nullptr;

uint8_t checkAbort() { return current && current->abortRequested ? 1 : 0; }

void reportProgress(int32_t done, int32_t total) {
    if (!current)
        return;
    ++current->progressCalls;
    current->lastProgressDone = done;
    current->lastProgressTotal = total;
}

int16_t drawPixelMap(const ImageRecord*, const Rect16*, int32_t, int32_t, void*) { return 0; }
int16_t fetchRequested() { return 0; }
void disposeHandle(Handle handle) { HostDisposeHandle(nullptr, handle); }
int32_t getHandleSize(Handle handle) { return HostGetHandleSize(nullptr, handle); }
} // namespace

TestHost::TestHost(int w, int h) : width(w), height(h), image(size_t(w) * h * 3) {
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = uint8_t((i * 37 + i / 3 * 11) & 0xff);
    output = image;
    record.areaRect = Rect16{0, 0, int16_t(h), int16_t(w)};
    record.imageMode = kImageModeRgb;
    record.checkAbort = checkAbort;
    record.reportProgress = reportProgress;
    record.drawPixelMap = drawPixelMap;
    record.fetchRequested = fetchRequested;
    record.absolutePlanesSupported = 1;
    record.windowInfo = &windowInfo;
    handleTable.disposeHandle = disposeHandle;
    handleTable.getHandleSize = getHandleSize;
    record.handleTable = &handleTable;
    record.channelCountE = 3;
    current = this;
}

TestHost::~TestHost() {
    if (slot)
        call(SelectorFinish);
    // Destroys a state the finish kept, as a host does when it unloads the module.
    if (PluginState* kept = state()) {
        kept->~PluginState();
        checkedFreeRaw(kept);
    }
    if (record.parameterHandle)
        HostDisposeHandle(nullptr, record.parameterHandle);
    current = nullptr;
}

int16_t TestHost::call(int16_t selector) {
    int16_t result = 0x7777;
    ENTRYPOINT1(selector, &record, &slot, &result);
    return result;
}

ParameterBlock* TestHost::block() const {
    return record.parameterHandle ? static_cast<ParameterBlock*>(*record.parameterHandle)
                                  : nullptr;
}

namespace {
bool isEmpty(const Rect16& r) { return r.width() <= 0 || r.height() <= 0; }
} // namespace

// Fills the input, output and mask buffers of the rectangles just requested.
// Input outside the image is the nearest image sample when the plug-in asks for
// it (edge padding -1).
void TestHost::supplyRequested() {
    const Rect16 in = record.inputRect;
    const int planes = record.inputPlaneLast - record.inputPlaneFirst + 1;
    const int rowBytes = std::max(1, int(in.width()) * planes);
    inputBuffer.assign(size_t(rowBytes) * std::max(1, int(in.height())), 0);
    for (int y = in.top; y < in.bottom; ++y)
        for (int x = in.left; x < in.right; ++x) {
            const int sy = std::clamp(y, 0, height - 1), sx = std::clamp(x, 0, width - 1);
            for (int p = 0; p < planes; ++p) {
                const int plane = record.inputPlaneFirst + p;
                uint8_t value = plane < 3 ? image[(size_t(sy) * width + sx) * 3 + plane]
                                          : extraChannels[size_t(plane - 3)][size_t(sy) * width + sx];
                inputBuffer[size_t(y - in.top) * rowBytes + size_t(x - in.left) * planes + p] = value;
            }
        }
    record.inputData = inputBuffer.data();
    record.inputRowBytes = rowBytes;

    const Rect16 out = record.outputRect;
    const int outRowBytes = std::max(1, int(out.width()) * 3);
    outputBuffer.assign(size_t(outRowBytes) * std::max(1, int(out.height())), 0);
    for (int y = out.top; y < out.bottom; ++y)
        std::memcpy(&outputBuffer[size_t(y - out.top) * outRowBytes],
                    &output[(size_t(y) * width + out.left) * 3], size_t(out.width()) * 3);
    record.outputData = outputBuffer.data();
    record.outputRowBytes = outRowBytes;

    const Rect16 mask = record.maskRect;
    maskBuffer.assign(size_t(std::max(1, int(mask.width()))) * std::max(1, int(mask.height())), 255);
    record.maskData = maskBuffer.data();
    record.maskRowBytes = std::max(1, int(mask.width()));
}

int16_t TestHost::runFilter() {
    int16_t code = call(SelectorPrepare);
    if (code == 0)
        code = call(SelectorStart);
    while (code == 0 &&
           !(isEmpty(record.inputRect) && isEmpty(record.outputRect) && isEmpty(record.maskRect))) {
        supplyRequested();
        const Rect16 out = record.outputRect;
        code = call(SelectorContinue);
        for (int y = out.top; y < out.bottom && code == 0; ++y)
            std::memcpy(&output[(size_t(y) * width + out.left) * 3],
                        &outputBuffer[size_t(y - out.top) * record.outputRowBytes],
                        size_t(out.width()) * 3);
    }
    if (code != 0)
        return code;
    return call(SelectorFinish);
}
