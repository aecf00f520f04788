#pragma once
#include <cstdint>
#include <vector>

#include "shell/entry_point.h"
#include "shell/host_record.h"
#include "shell/host_tables.h"
#include "shell/parameter_block.h"
#include "shell/plugin_state.h"

// A small in-process host for driving the plug-in through ENTRYPOINT1: an RGB
// image in memory, the record with every service present, and the data slot.
class TestHost {
  public:
    TestHost(int width, int height);
    ~TestHost();

    int16_t call(int16_t selector);
    PluginState* state() const { return reinterpret_cast<PluginState*>(slot); }
    ParameterBlock* block() const;

    // Runs prepare, start, every continue the plug-in asks for, and finish.
    // Returns the first non-zero result (or 0).
    int16_t runFilter();

    HostRecord record{};
    intptr_t slot = 0;
    int width, height;
    std::vector<uint8_t> image;  // 3 bytes per pixel, the document's colour
    std::vector<uint8_t> output; // what the plug-in wrote
    std::vector<std::vector<uint8_t>> extraChannels; // one byte per pixel each
    int progressCalls = 0;
    int32_t lastProgressDone = 0, lastProgressTotal = 0;
    bool abortRequested = false;

  private:
    void supplyRequested();
    std::vector<uint8_t> inputBuffer;
    std::vector<uint8_t> outputBuffer;
    std::vector<uint8_t> maskBuffer;
    WindowInfo windowInfo{};
    HostHandleTable handleTable{};
    HostPropertyTable propertyTable{};
};
