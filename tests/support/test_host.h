#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/zerafin/image_files/document.h"
#include "host/zerafin/plugin_services/host_session.h"
#include "lighting/parameter_block.h"
#include "shell/entry_point.h"
#include "shell/plugin_state.h"

// The plug-in linked into the test, driven by the host kit's session over an
// RGB document with a varied test pattern.
class TestHost {
  public:
    TestHost(int width, int height);
    ~TestHost();

    int16_t call(int16_t selector) { return session.call(selector); }
    PluginState* state() const { return reinterpret_cast<PluginState*>(session.dataSlot); }
    ParameterBlock* block() const;
    // Prepare, start, every continue asked for, finish: the first non-zero result.
    int16_t runFilter() { return session.runFilter(false); }
    // The same when the dialog was asked for: the Win32 build cancels it as
    // soon as it shows; the native build has none, and its dialog call fails.
    int16_t runFilterCancellingTheDialog();
    // The document's colour as interleaved RGB.
    std::vector<uint8_t> rgb() const;
    // The settings the last finish recorded, as the text of a script file
    // (empty when none), taken so that the next start does not play them.
    std::string takeRecordedScript();

    Document document;
    HostSession session;
    HostRecord& record;
    intptr_t& slot;
};

// The descriptor of a script file's text, read as the host reads it under the
// module's terminology; nullopt with the host's message.
std::optional<Descriptor> scriptDescriptor(const std::string& text, std::string& error);
