#include "host/zerafin/plugin_services/host_session.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include <emmintrin.h>

#include "host/threads/parallel_for.h"
#include "host/zerafin/plugin_services/colour_service.h"
#include "host/zerafin/plugin_services/draw_pixel_map.h"
#include "host/zerafin/terminal/progress_line.h"
#include "protocol/host_tables.h"
#include "protocol/plugin_api.h"
#include "protocol/result_codes.h"
#include "protocol/selectors.h"

namespace {
HostSession* activeSession = nullptr;
std::atomic<bool> abortFlag{false};

uint8_t checkAbortCallback() {
    return abortFlag.load() ? 1 : 0;
}

ProgressLine& progressLine() {
    static ProgressLine line(stderr, ProgressLine::stderrIsTerminal());
    return line;
}

void reportProgressCallback(int32_t done, int32_t total) {
    if (activeSession && activeSession->showProgress)
        progressLine().report(done, total);
}

// Called by the plug-in: running out of memory becomes its out-of-memory
// code and never unwinds through the plug-in.
int16_t fetchRequestedCallback() {
    if (!activeSession)
        return result::requestRefused;
    try {
        activeSession->supplyRequested();
    } catch (const std::bad_alloc&) {
        return result::outOfMemory;
    }
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

const Document* activeDocument = nullptr;

int16_t setPropertyCallback(uint32_t signature, uint32_t key, int16_t, intptr_t simple, Handle) {
    if (!activeSession || signature != kHostSignature || key != hostProperty::waiting)
        return result::requestRefused;
    activeSession->waitingProperty = int(simple);
    return 0;
}

// Channel count ('nuch'), channel names ('nmch') and the waiting flag ('wtch').
int16_t queryPropertyCallback(uint32_t signature, uint32_t key, int16_t index, intptr_t* simple,
                              Handle* complex) {
    const Document* document = activeDocument;
    if (signature != kHostSignature || !document)
        return result::requestRefused;
    if (key == hostProperty::channelCount) {
        *simple = intptr_t(document->channels.size());
        return 0;
    }
    if (key == hostProperty::channelName) {
        if (index < 0 || size_t(index) >= document->channels.size())
            return result::requestRefused;
        const std::string& name = document->channels[size_t(index)].name;
        Handle handle = NewHandle(int32_t(name.size()));
        if (!handle)
            return result::outOfMemory;
        std::memcpy(*handle, name.data(), name.size());
        *complex = handle;
        return 0;
    }
    if (key == hostProperty::waiting && activeSession) {
        *simple = activeSession->waitingProperty;
        return 0;
    }
    return result::requestRefused;
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
    record.colorService = hostColourService();
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

namespace {
Rect16 wholeImage(const Document& document) {
    return Rect16{0, 0, int16_t(document.height), int16_t(document.width)};
}

// Samples left..right-1 of one channel's row of `width` samples, those beyond
// its ends repeating the nearest one (a texture channel, asked for with a
// margin around each tile).
void copyPlaneRow(const uint8_t* row, int left, int right, int width, uint8_t* out) {
    const int insideLeft = std::clamp(left, 0, width), insideRight = std::clamp(right, 0, width);
    for (int x = left; x < std::min(right, insideLeft); ++x)
        *out++ = row[0];
    if (insideLeft < insideRight) {
        std::memcpy(out, row + insideLeft, size_t(insideRight - insideLeft));
        out += insideRight - insideLeft;
    }
    for (int x = std::max(left, insideRight); x < right; ++x)
        *out++ = row[width - 1];
}

// Copies the rectangle's samples of `planes` channels from `firstChannel` on,
// interleaved, into rows of `rowBytes`. Samples beyond the image's edge repeat
// the nearest one; channels beyond the last repeat the last.
void interleave(const Document& document, const Rect16& area, int firstChannel, int planes,
                uint8_t* to, int rowBytes) {
    const int lastChannel = int(document.channels.size()) - 1;
    const int lastColumn = document.width - 1, lastRow = document.height - 1;
    std::vector<const uint8_t*> rows(static_cast<size_t>(planes));
    for (int y = area.top; y < area.bottom; ++y) {
        const size_t rowStart = size_t(std::clamp(y, 0, lastRow)) * size_t(document.width);
        for (int p = 0; p < planes; ++p) {
            const Channel& channel =
                document.channels[size_t(std::clamp(firstChannel + p, 0, lastChannel))];
            rows[size_t(p)] = channel.samples.data() + rowStart;
        }
        uint8_t* out = to + size_t(y - area.top) * size_t(rowBytes);
        if (planes == 1) {
            copyPlaneRow(rows[0], area.left, area.right, document.width, out);
            continue;
        }
        for (int x = area.left; x < area.right; ++x) {
            const int column = std::clamp(x, 0, lastColumn);
            for (const uint8_t* row : rows)
                *out++ = row[column];
        }
    }
}

// Copies a rectangle of an interleaved red, green and blue image of `width` x
// `height` into rows of `rowBytes`, clamped to the image's edge like interleave.
void copyRgb(const uint8_t* image, int width, int height, const Rect16& area, uint8_t* to,
             int rowBytes) {
    const size_t imageRowBytes = size_t(width) * 3;
    const bool inside = area.left >= 0 && area.right <= width;
    for (int y = area.top; y < area.bottom; ++y) {
        const uint8_t* row = image + size_t(std::clamp(y, 0, height - 1)) * imageRowBytes;
        uint8_t* out = to + size_t(y - area.top) * size_t(rowBytes);
        if (inside) {
            std::memcpy(out, row + size_t(area.left) * 3, size_t(area.width()) * 3);
            continue;
        }
        for (int x = area.left; x < area.right; ++x, out += 3)
            std::memcpy(out, row + size_t(std::clamp(x, 0, width - 1)) * 3, 3);
    }
}

// Sixteen pixels (48 interleaved bytes) into 16 red, 16 green and 16 blue
// bytes: each round pairs the bytes of one vector's low half with those of
// the next one's high half, and four such rounds take the interleaved order
// to the planar one. SSE2 only, so both builds run it.
void splitSixteenPixels(const uint8_t* in, uint8_t* red, uint8_t* green, uint8_t* blue) {
    const auto load = [&](int offset) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + offset));
    };
    __m128i a = load(0), b = load(16), c = load(32);
    for (int round = 0; round < 4; ++round) {
        const __m128i first = _mm_unpacklo_epi8(a, _mm_unpackhi_epi64(b, b));
        const __m128i second = _mm_unpacklo_epi8(_mm_unpackhi_epi64(a, a), c);
        const __m128i third = _mm_unpacklo_epi8(b, _mm_unpackhi_epi64(c, c));
        a = first, b = second, c = third;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(red), a);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(green), b);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(blue), c);
}

// The reverse of interleave for the red, green and blue of a rectangle inside
// the image.
void deinterleave(const uint8_t* from, int rowBytes, const Rect16& area, Document& document) {
    for (int y = area.top; y < area.bottom; ++y) {
        const size_t rowStart = size_t(y) * size_t(document.width);
        uint8_t* red = document.channels[0].samples.data() + rowStart;
        uint8_t* green = document.channels[1].samples.data() + rowStart;
        uint8_t* blue = document.channels[2].samples.data() + rowStart;
        const uint8_t* in = from + size_t(y - area.top) * size_t(rowBytes);
        int x = area.left;
        for (; x + 16 <= area.right; x += 16, in += 48)
            splitSixteenPixels(in, red + x, green + x, blue + x);
        for (; x < area.right; ++x, in += 3) {
            red[x] = in[0];
            green[x] = in[1];
            blue[x] = in[2];
        }
    }
}

// Runs copy(rows) over the image's rows in strips, one per processor: the
// whole-image copies before and after a run are otherwise the longest stretch
// of a run in which a single processor works.
template <typename Copy> void copyRowsOnThreads(const Document& document, Copy copy) {
    constexpr int kRowsPerStrip = 256;
    const int strips = std::clamp(document.height / kRowsPerStrip, 1, hostThreadCount());
    const auto stripRows = [&](size_t i) {
        Rect16 rows = wholeImage(document);
        rows.top = int16_t(int64_t(document.height) * int64_t(i) / strips);
        rows.bottom = int16_t(int64_t(document.height) * int64_t(i + 1) / strips);
        return rows;
    };
    parallelFor(size_t(strips), strips, [&](size_t i) { copy(stripRows(i)); });
}
} // namespace

void HostSession::setDocument(Document* newDocument) {
    document = newDocument;
    // The plug-in takes and gives red, green and blue interleaved: this host
    // keeps the image that way while it is being filtered, so that each tile
    // is copied row by row.
    imageRgb.resize(size_t(document->width) * size_t(document->height) * 3);
    const int rowBytes = document->width * 3;
    copyRowsOnThreads(*document, [&](const Rect16& rows) {
        interleave(*document, rows, 0, 3, imageRgb.data() + size_t(rows.top) * size_t(rowBytes),
                   rowBytes);
    });
    activeDocument = newDocument;
    record.areaRect = wholeImage(*document);
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
    const int firstPlane = record.inputPlaneFirst;
    const int planes = std::max(1, record.inputPlaneLast - firstPlane + 1);
    const int rowBytes = std::max(1, int(in.width()) * planes);
    // Both copies below write every byte of the buffers; a rectangle the wrong
    // way round (possible from any plug-in) copies nothing.
    inputBuffer.resize(size_t(rowBytes) * size_t(std::max(1, int(in.height()))));
    if (!isEmpty(in) && firstPlane == 0 && planes == 3)
        copyRgb(imageRgb.data(), document->width, document->height, in, inputBuffer.data(),
                rowBytes);
    else if (!isEmpty(in))
        interleave(*document, in, firstPlane, planes, inputBuffer.data(), rowBytes);
    record.inputData = inputBuffer.data();
    record.inputRowBytes = rowBytes;

    // The output starts as the image's own pixels.
    const Rect16 out = record.outputRect;
    const int outRowBytes = std::max(1, int(out.width()) * 3);
    outputBuffer.resize(size_t(outRowBytes) * size_t(std::max(1, int(out.height()))));
    if (!isEmpty(out))
        copyRgb(imageRgb.data(), document->width, document->height, out, outputBuffer.data(),
                outRowBytes);
    record.outputData = outputBuffer.data();
    record.outputRowBytes = outRowBytes;

    const Rect16 mask = record.maskRect;
    const int maskRowBytes = std::max(1, int(mask.width()));
    maskBuffer.assign(size_t(maskRowBytes) * size_t(std::max(1, int(mask.height()))), 255);
    record.maskData = maskBuffer.data();
    record.maskRowBytes = maskRowBytes;
}

void HostSession::writeBackOutput(const Rect16& out) {
    // Only the part inside the image: a plug-in may ask for any rectangle.
    const int top = std::max<int>(out.top, 0), bottom = std::min<int>(out.bottom, document->height);
    const int left = std::max<int>(out.left, 0), right = std::min<int>(out.right, document->width);
    if (left >= right)
        return;
    const size_t imageRowBytes = size_t(document->width) * 3;
    for (int y = top; y < bottom; ++y)
        std::memcpy(imageRgb.data() + size_t(y) * imageRowBytes + size_t(left) * 3,
                    outputBuffer.data() + size_t(y - out.top) * size_t(record.outputRowBytes) +
                        size_t(left - out.left) * 3,
                    size_t(right - left) * 3);
}

int16_t HostSession::runFilter(bool withDialog) {
    int16_t code = 0;
    if (withDialog)
        code = call(SelectorParameters);
    if (code == 0)
        code = call(SelectorPrepare);
    if (code == 0)
        code = call(SelectorStart);
    while (code == 0 &&
           !(isEmpty(record.inputRect) && isEmpty(record.outputRect) && isEmpty(record.maskRect))) {
        supplyRequested();
        const Rect16 requested = record.outputRect;
        code = call(SelectorContinue);
        if (code == 0)
            writeBackOutput(requested);
    }
    if (code == 0)
        code = call(SelectorFinish);
    // The document's own planes get what the run wrote.
    copyRowsOnThreads(*document, [&](const Rect16& rows) {
        const int rowBytes = document->width * 3;
        deinterleave(imageRgb.data() + size_t(rows.top) * size_t(rowBytes), rowBytes, rows,
                     *document);
    });
    progressLine().finish(code == 0);
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
    if (record.parameterHandle && !bytes.empty())
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
