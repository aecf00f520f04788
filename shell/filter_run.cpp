// One filtering operation: the dialog phase (collect the preview, run the
// dialog) and the render phase (light the image tile by tile, textured tiles in
// a texture pass and a colour pass). Between calls the run's position lives in
// the host record's rectangles.
#include "shell/filter_run.h"

#include <algorithm>

#include "lighting/height_map.h"
#include "platform/checked_alloc.h"
#include "protocol/host_tables.h"
#include "protocol/result_codes.h"
#include "settings/geometry_conversion.h"
#include "shell/parameter_handle.h"
#include "shell/plugin_state.h"
#include "shell/render_preview.h"
#include "shell/script_io.h"
#include "shell/tile_walk.h"
#include "shell/worker_threads.h"
#include "ui/ui_services.h"

namespace {
constexpr int kRenderTileSize = 64;
constexpr int kTextureMargin = 3;

void reportProgress(const HostRecord& host, const PluginState& state) {
    if (host.reportProgress)
        host.reportProgress(state.run.tilesDone, state.run.tileCount);
}

void setColourPlanes(HostRecord& host) {
    host.inputPlaneFirst = 0;
    host.inputPlaneLast = 2;
    host.outputPlaneFirst = 0;
    host.outputPlaneLast = 2;
}

// After every placement of a preview tile the host is asked for the tile, one
// output row and the mask of the tile.
void placePreviewTile(HostRecord& host) {
    host.outputRect = host.inputRect;
    host.outputRect.bottom = int16_t(host.outputRect.top + 1);
    host.maskRect = host.inputRect;
    host.previewCookieOut = host.previewCookieIn;
}

void setUpPreviewWalk(HostRecord& host, PluginState& state) {
    state.run.tileSize = uint16_t(previewTileSize(state.preview.step));
    host.inputRect = firstTile(host.areaRect, state.run.tileSize);
    placePreviewTile(host);
}

// Returns false when the walk is over (the rectangles that keep the host
// calling are left as they were).
bool advancePreviewWalk(HostRecord& host, PluginState& state) {
    if (!advanceTile(host.inputRect, host.areaRect, state.run.tileSize))
        return false;
    placePreviewTile(host);
    return true;
}

void setUpRenderWalk(HostRecord& host, PluginState& state) {
    state.run.tileSize = kRenderTileSize;
    state.run.tileCount = uint16_t(renderTileCount(host.areaRect));
    state.run.tilesDone = 0;
    host.inputRect = firstTile(host.areaRect, kRenderTileSize);
    host.outputRect = host.inputRect;
    host.maskRect = Rect16{};
}

void advanceRenderWalk(HostRecord& host) {
    advanceTile(host.inputRect, host.areaRect, kRenderTileSize);
    host.outputRect = host.inputRect;
}

// The texture channel over the input rectangle, also beyond the image's
// edges, and no output.
void requestTextureOfInput(HostRecord& host, uint16_t textureChannel) {
    host.outputRect =
        Rect16{host.inputRect.top, host.inputRect.left, host.inputRect.top, host.inputRect.left};
    host.inputPlaneFirst = host.inputPlaneLast = int16_t(textureChannel - 1);
    host.edgePadding = kEdgePaddingClampToImage;
    host.absolutePlanes = 1;
}

void requestTexture(HostRecord& host, uint16_t textureChannel, int margin) {
    host.inputRect = grown(host.inputRect, margin);
    requestTextureOfInput(host, textureChannel);
}

void requestColourPlanes(HostRecord& host) {
    setColourPlanes(host);
    host.edgePadding = kEdgePaddingNone;
    host.absolutePlanes = 0;
}

void requestColour(HostRecord& host, int margin) {
    host.inputRect = grown(host.inputRect, -margin);
    host.outputRect = host.inputRect;
    requestColourPlanes(host);
}

// Channels of the document a texture channel may name.
int channelLimit(const HostRecord& host) {
    if (host.channelCountB == 0 && host.channelCountC == 0)
        return host.channelCountE;
    return int32_t(host.channelCountA) + host.channelCountB + host.channelCountC +
           host.channelCountD + host.channelCountE;
}

void beginTexturedRender(HostRecord& host, PluginState& state, const ParameterBlock& block) {
    state.preview.heightMap.scale = block.relief;
    requestTexture(host, block.textureChannel, kTextureMargin);
    state.run.textureTilePending = false;
}

// Copies the pixels of the current tile that fall on the preview grid.
void copyTileToPreview(const HostRecord& host, PluginState& state) {
    const int step = state.preview.step;
    const Rect16& tile = host.inputRect;
    const int dy = tile.top - host.areaRect.top;
    const int dx = tile.left - host.areaRect.left;
    ImageRecord& preview = state.preview.sourceImage;
    MaskRecord* mask = state.preview.resultImage.mask;
    const bool copyMask = host.selectionFlag && host.maskAvailable && mask && host.maskData;
    for (int r = 0; r < tile.height(); r += step) {
        const int previewRow = (dy + r) / step;
        const uint8_t* in = host.inputData + ptrdiff_t(host.inputRowBytes) * r;
        uint8_t* out = preview.pixels + ptrdiff_t(preview.rowBytes) * previewRow;
        for (int c = 0; c < tile.width(); c += step) {
            const int previewColumn = (dx + c) / step;
            for (int k = 0; k < 3; ++k)
                out[previewColumn * 3 + k] = in[c * 3 + k];
            if (copyMask)
                mask->pixels[ptrdiff_t(mask->rowBytes) * (state.preview.top + previewRow) +
                             state.preview.left + previewColumn] =
                    host.maskData[ptrdiff_t(host.maskRowBytes) * r + c];
        }
    }
}

int16_t collectPreviewTile(HostRecord& host, PluginState& state) {
    copyTileToPreview(host, state);
    if (!advancePreviewWalk(host, state))
        state.run.previewImageReady = true;
    return result::ok;
}

void setWaitingProperty(const HostRecord& host, intptr_t value);

// OK lights the image as the script it records replays it: from the lights'
// places in percent of the frame and the image width as a share of it, taken
// from the preview's pixels. Lit from the pixels themselves, a light's place
// divided by the half frame may round to another single-precision value than
// its percentage divided by 50, and the replay would differ in a few pixels.
void takeScriptGeometry(PluginState& state) {
    Settings& settings = state.settings;
    const uint16_t frame = settings.frameSize();
    for (int i = 0; i < std::min<int>(settings.lightCount, kMaxLights); ++i)
        refreshPercentGeometry(settings.lights[i], frame);
    if (frame != 0)
        settings.imageWidthRatio = float(state.preview.width) / float(frame);
    state.run.litFromPercent = true;
}

// The dialog edits the settings in place; on cancel the copy taken before
// it is put back.
int16_t runDialogAndCommit(HostRecord& host, PluginState& state) {
    const Settings before = state.settings;
    const bool litFromPercentBefore = state.run.litFromPercent;
    setWaitingProperty(host, 1);
    state.run.litFromPercent = false;
    DialogSession session{host,
                          state.settings,
                          state.preview,
                          state.dialogChoices,
                          state.run.settingsValid,
                          [&state] { return renderPreview(state); },
                          [&state] { copyUnlitPreview(state); },
                          [&host, &state] { return gatherTexturePreview(host, state); }};
    int16_t dialogResult = runMainDialog(session);
    setWaitingProperty(host, 0);
    state.preview.releaseCaches();
    unregisterWindowClasses();

    ParameterBlock* block = lockParameterBlock(host);
    const int previewWidth = state.preview.width;
    if (dialogResult != 0) {
        if (!state.run.settingsValid)
            return dialogResult;
        // The block goes back to what the last run lit, from the same geometry.
        state.settings = before;
        state.run.litFromPercent = litFromPercentBefore;
        state.run.showDialog = false;
        if (block)
            fillParameterBlock(state.settings, previewWidth, *block,
                               litFromPercentBefore ? BlockVariant::Script : BlockVariant::Dialog,
                               0);
        return dialogResult;
    }
    state.run.showDialog = false;
    if (!block)
        return result::outOfMemory;
    takeScriptGeometry(state);
    fillParameterBlock(state.settings, previewWidth, *block, BlockVariant::Script, 0);
    setUpRenderWalk(host, state);
    if (block->textureChannel != 0)
        beginTexturedRender(host, state, *block);
    reportProgress(host, state);
    return result::ok;
}

// Each tile also looks for an interruption, so that a long render without
// relief stops when the user asks, as the textured one does.
int16_t renderUntexturedTile(HostRecord& host, PluginState& state, ParameterBlock& block) {
    if (host.checkAbort && host.checkAbort())
        return result::cancelled;
    renderUntextured(bandOfHost(host), state, block);
    advanceRenderWalk(host);
    ++state.run.tilesDone;
    reportProgress(host, state);
    return result::ok;
}

int16_t texturePass(HostRecord& host, PluginState& state) {
    if (host.checkAbort && host.checkAbort())
        return result::cancelled;
    if (buildHeightMapOnThreads(host.inputData, host.inputRowBytes, host.inputRect.width(),
                                host.inputRect.height(), state, state.preview.heightMap) != 0)
        return result::outOfMemory;
    requestColour(host, kTextureMargin);
    ++state.run.tilesDone;
    state.run.textureTilePending = true;
    reportProgress(host, state);
    return result::ok;
}

int16_t colourPass(HostRecord& host, PluginState& state, const ParameterBlock& block) {
    renderBandWithRelief(bandOfHost(host), state, block, state.preview.heightMap);
    advanceRenderWalk(host);
    requestTexture(host, block.textureChannel, kTextureMargin);
    state.run.textureTilePending = false;
    return result::ok;
}

void setWaitingProperty(const HostRecord& host, intptr_t value) {
    if (host.propertyTable && host.propertyTable->setProperty)
        host.propertyTable->setProperty(kHostSignature, hostProperty::waiting, 0, value, nullptr);
}

int16_t allocateInitialHeightMap(PluginState& state) {
    checkedFree(state.preview.heightMap.map);
    state.preview.heightMap.capacity = kInitialHeightMapBytes;
    state.preview.heightMap.map = static_cast<int32_t*>(checkedAlloc(kInitialHeightMapBytes));
    return state.preview.heightMap.map ? result::ok : result::outOfMemory;
}
} // namespace

int16_t startFiltering(HostRecord& host, PluginState& state) {
    int16_t code = createParameterBlock(host);
    if (code != 0)
        return code;
    setColourPlanes(host);
    state.run.host = &host;
    code = allocateInitialHeightMap(state);
    if (code != 0)
        return code;
    state.run.previewImageReady = false;

    registerWindowClasses();
    code = runLayoutPass(host, state.settings, state.preview);
    if (code != 0)
        return code;

    int16_t scriptError = 0;
    bool scriptRead = readScriptParameters(host, state, &scriptError);
    if (scriptError != 0)
        return scriptError;
    ParameterBlock* block = lockParameterBlock(host);
    if (scriptRead) {
        fillParameterBlock(state.settings, state.preview.width, *block, BlockVariant::Script,
                           int(state.run.showDialog));
        state.run.litFromPercent = true;
        state.run.settingsValid = true;
    }

    if (state.run.showDialog) {
        setUpPreviewWalk(host, state);
        return result::ok;
    }
    unregisterWindowClasses();
    setUpRenderWalk(host, state);
    if (block->textureChannel != 0) {
        if (block->textureChannel > channelLimit(host))
            block->textureChannel = 0;
        else
            beginTexturedRender(host, state, *block);
    }
    reportProgress(host, state);
    return result::ok;
}

int16_t continueFiltering(HostRecord& host, PluginState& state) {
    state.run.host = &host;
    if (state.run.showDialog)
        return state.run.previewImageReady ? runDialogAndCommit(host, state)
                                           : collectPreviewTile(host, state);
    ParameterBlock* block = lockParameterBlock(host);
    if (!block)
        return result::outOfMemory;
    if (block->textureChannel == 0)
        return renderUntexturedTile(host, state, *block);
    return !state.run.textureTilePending ? texturePass(host, state)
                                         : colourPass(host, state, *block);
}

// The preview's texture holds the channel at every step-th pixel of every
// step-th row, with kTextureMargin samples more on every side. The host is
// asked for one image row per preview row, only as wide as the samples reach:
// the preview of a 4096 x 4096 image then costs the host 153 rows instead of
// the whole channel. The run's own request is put back afterwards.
int16_t gatherTexturePreview(HostRecord& host, PluginState& state) {
    const Rect16 input = host.inputRect, output = host.outputRect, mask = host.maskRect;
    const int step = state.preview.step;
    const int rows = state.preview.height + 2 * kTextureMargin;
    const int columns = state.preview.width + 2 * kTextureMargin;
    const int top = host.areaRect.top - kTextureMargin * step;
    const int left = host.areaRect.left - kTextureMargin * step;
    const int rowWidth = (columns - 1) * step + 1;
    ImageRecord& texture = state.preview.textureImage;
    for (int row = 0; row < rows; ++row) {
        const int y = top + row * step;
        host.inputRect =
            Rect16{int16_t(y), int16_t(left), int16_t(y + 1), int16_t(left + rowWidth)};
        requestTextureOfInput(host, state.settings.textureChannel);
        host.maskRect = host.outputRect;
        host.previewCookieOut = host.previewCookieIn;
        const int16_t code = host.fetchRequested();
        if (code != 0)
            return code;
        uint8_t* out = texture.pixels + ptrdiff_t(texture.rowBytes) * row;
        for (int column = 0; column < columns; ++column)
            out[column] = host.inputData[ptrdiff_t(column) * step];
    }
    host.inputRect = input;
    host.outputRect = output;
    host.maskRect = mask;
    requestColourPlanes(host);
    return result::ok;
}

void releaseRunBuffers(PluginState& state) {
    state.preview.releaseImages();
}
