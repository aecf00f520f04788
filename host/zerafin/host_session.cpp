#include "host/zerafin/host_session.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

#include "host/zerafin/draw_pixel_map.h"
#include "shell/four_cc.h"
#include "shell/plugin_api.h"

namespace {
HostSession* activeSession = nullptr;
std::atomic<bool> abortFlag{false};

uint8_t checkAbortCallback() {
    return abortFlag.load() ? 1 : 0;
}

bool progressLineOpen = false;

void drawProgressBar(int64_t done, int64_t total) {
    const int width = 40;
    const int filled = int(std::clamp<int64_t>(done * width / total, 0, width));
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
                 width - filled, "", int(std::clamp<int64_t>(done * 100 / total, 0, 100)));
    std::fflush(stderr);
    progressLineOpen = true;
}

// The plug-in's tile count may run ahead of the tiles it lights (it counts a
// spare row and column of tiles), so the bar is completed by the host at the
// end of a successful run rather than by the last report.
void reportProgressCallback(int32_t done, int32_t total) {
    if (!activeSession || !activeSession->showProgress || total <= 0)
        return;
    drawProgressBar(done, total);
}

void closeProgressLine(bool completed) {
    if (!progressLineOpen)
        return;
    if (completed)
        drawProgressBar(1, 1);
    std::fputc('\n', stderr);
    progressLineOpen = false;
}

int16_t fetchRequestedCallback() {
    if (!activeSession)
        return -1;
    activeSession->supplyRequested();
    return 0;
}

Handle newHandleCallback(int32_t size) {
    return NewHandle(size);
}
void disposeHandleCallback(Handle handle) {
    HostDisposeHandle(nullptr, handle);
}
int32_t getHandleSizeCallback(Handle handle) {
    return HostGetHandleSize(nullptr, handle);
}

constexpr int16_t kPropertyUnavailable = -1;
const Document* activeDocument = nullptr;

int16_t setPropertyCallback(uint32_t signature, uint32_t key, int16_t, intptr_t simple, Handle) {
    if (!activeSession || signature != fourCC("9ZIM") || key != fourCC("wtch"))
        return kPropertyUnavailable;
    activeSession->waitingProperty = int(simple);
    return 0;
}

// Channel count ('nuch'), channel names ('nmch') and the waiting flag ('wtch').
int16_t queryPropertyCallback(uint32_t signature, uint32_t key, int16_t index, intptr_t* simple,
                              Handle* complex) {
    const Document* document = activeDocument;
    if (signature != fourCC("9ZIM") || !document)
        return kPropertyUnavailable;
    if (key == fourCC("nuch")) {
        *simple = intptr_t(document->channels.size());
        return 0;
    }
    if (key == fourCC("nmch")) {
        if (index < 0 || size_t(index) >= document->channels.size())
            return kPropertyUnavailable;
        const std::string& name = document->channels[size_t(index)].name;
        Handle handle = NewHandle(int32_t(name.size()));
        if (!handle)
            return -108;
        std::memcpy(*handle, name.data(), name.size());
        *complex = handle;
        return 0;
    }
    if (key == fourCC("wtch") && activeSession) {
        *simple = activeSession->waitingProperty;
        return 0;
    }
    return kPropertyUnavailable;
}

bool isEmpty(const Rect16& r) {
    return r.width() <= 0 || r.height() <= 0;
}
} // namespace

void requestAbort() {
    abortFlag = true;
}
bool abortRequested() {
    return abortFlag.load();
}

HostSession::HostSession(EntryPointProc entry, void* ownerWindow) : entryPoint(entry) {
    windowInfo.ownerWindow = ownerWindow;
    handleTable =
        HostHandleTable{1, 3, newHandleCallback, disposeHandleCallback, getHandleSizeCallback};
    propertyTable = HostPropertyTable{1, 2, queryPropertyCallback, setPropertyCallback};
    record.checkAbort = checkAbortCallback;
    record.reportProgress = reportProgressCallback;
    record.drawPixelMap = drawPixelMapCallback;
    record.fetchRequested = fetchRequestedCallback;
    record.handleTable = &handleTable;
    record.propertyTable = &propertyTable;
    record.windowInfo = &windowInfo;
    scriptRecord = HostScriptRecord{1, 0, 0, 0, nullptr, hostWriterTable(), hostReaderTable()};
    record.scriptRecord = &scriptRecord;
    record.absolutePlanesSupported = 1;
    record.imageMode = kImageModeRgb;
    record.edgePadding = kEdgePaddingNone;
    activeSession = this;
}

HostSession::~HostSession() {
    if (record.parameterHandle)
        HostDisposeHandle(nullptr, record.parameterHandle);
    HostDisposeHandle(nullptr, scriptRecord.descriptor);
    if (activeSession == this)
        activeSession = nullptr;
    activeDocument = nullptr;
}

void HostSession::setDocument(Document* newDocument) {
    document = newDocument;
    activeDocument = newDocument;
    record.areaRect = Rect16{0, 0, int16_t(document->height), int16_t(document->width)};
    setChannelCounts();
}

// The plug-in forms its channel limit from five counts; this host reports all
// of its channels in the last one.
void HostSession::setChannelCounts() {
    record.channelCountA = record.channelCountB = record.channelCountC = record.channelCountD = 0;
    record.channelCountE = int16_t(document->channels.size());
}

int16_t HostSession::call(int16_t selector) {
    int16_t result = 0;
    activeSession = this;
    entryPoint(selector, &record, &dataSlot, &result);
    return result;
}

int16_t HostSession::showAbout() {
    AboutRecord about{&windowInfo};
    int16_t result = 0;
    entryPoint(0, &about, &dataSlot, &result);
    return result;
}

void HostSession::supplyRequested() {
    const Rect16 in = record.inputRect;
    const int planes = std::max(1, record.inputPlaneLast - record.inputPlaneFirst + 1);
    const int firstPlane = record.inputPlaneFirst;
    const int rowBytes = std::max(1, int(in.width()) * planes);
    inputBuffer.assign(size_t(rowBytes) * size_t(std::max(1, int(in.height()))), 0);
    const int lastChannel = int(document->channels.size()) - 1;
    for (int y = in.top; y < in.bottom; ++y) {
        uint8_t* row = &inputBuffer[size_t(y - in.top) * size_t(rowBytes)];
        const int sy = std::clamp(y, 0, document->height - 1);
        for (int x = in.left; x < in.right; ++x) {
            const int sx = std::clamp(x, 0, document->width - 1);
            for (int p = 0; p < planes; ++p) {
                const int channel = std::clamp(firstPlane + p, 0, lastChannel);
                row[size_t(x - in.left) * size_t(planes) + size_t(p)] =
                    document->sample(channel, sx, sy);
            }
        }
    }
    record.inputData = inputBuffer.data();
    record.inputRowBytes = rowBytes;

    const Rect16 out = record.outputRect;
    const int outRowBytes = std::max(1, int(out.width()) * 3);
    outputBuffer.assign(size_t(outRowBytes) * size_t(std::max(1, int(out.height()))), 0);
    for (int y = out.top; y < out.bottom; ++y)
        for (int x = out.left; x < out.right; ++x)
            for (int c = 0; c < 3; ++c)
                outputBuffer[size_t(y - out.top) * size_t(outRowBytes) + size_t(x - out.left) * 3 +
                             size_t(c)] = document->sample(c, x, y);
    record.outputData = outputBuffer.data();
    record.outputRowBytes = outRowBytes;

    const Rect16 mask = record.maskRect;
    const int maskRowBytes = std::max(1, int(mask.width()));
    maskBuffer.assign(size_t(maskRowBytes) * size_t(std::max(1, int(mask.height()))), 255);
    record.maskData = maskBuffer.data();
    record.maskRowBytes = maskRowBytes;
}

void HostSession::writeBackOutput(const Rect16& out) {
    for (int y = out.top; y < out.bottom; ++y)
        for (int x = out.left; x < out.right; ++x)
            for (int c = 0; c < 3; ++c)
                document->sample(c, x, y) =
                    outputBuffer[size_t(y - out.top) * size_t(record.outputRowBytes) +
                                 size_t(x - out.left) * 3 + size_t(c)];
}

int16_t HostSession::runFilter(bool withDialog) {
    int16_t code = 0;
    if (withDialog)
        code = call(1);
    if (code == 0)
        code = call(2);
    if (code == 0)
        code = call(3);
    while (code == 0 &&
           !(isEmpty(record.inputRect) && isEmpty(record.outputRect) && isEmpty(record.maskRect))) {
        supplyRequested();
        const Rect16 requested = record.outputRect;
        code = call(4);
        if (code == 0)
            writeBackOutput(requested);
    }
    if (code == 0)
        code = call(5);
    closeProgressLine(code == 0);
    return code;
}

std::vector<uint8_t> HostSession::parameterBytes() const {
    if (!record.parameterHandle)
        return {};
    auto* bytes = static_cast<const uint8_t*>(*record.parameterHandle);
    return std::vector<uint8_t>(bytes, bytes + HostGetHandleSize(nullptr, record.parameterHandle));
}

void HostSession::setParameterBytes(const std::vector<uint8_t>& bytes) {
    if (record.parameterHandle)
        HostDisposeHandle(nullptr, record.parameterHandle);
    record.parameterHandle = NewHandle(int32_t(bytes.size()));
    if (record.parameterHandle)
        std::memcpy(*record.parameterHandle, bytes.data(), bytes.size());
}

bool HostSession::playScript(const Descriptor& descriptor, bool withDialog) {
    HostDisposeHandle(nullptr, scriptRecord.descriptor);
    scriptRecord.descriptor = descriptorToHandle(descriptor);
    scriptRecord.playMode = withDialog ? 1 : 0;
    return scriptRecord.descriptor != nullptr;
}

std::optional<Descriptor> HostSession::takeRecordedDescriptor() {
    std::optional<Descriptor> recorded = descriptorFromHandle(scriptRecord.descriptor);
    HostDisposeHandle(nullptr, scriptRecord.descriptor);
    scriptRecord.descriptor = nullptr;
    return recorded;
}
