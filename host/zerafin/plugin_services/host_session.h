#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/zerafin/image_files/document.h"
#include "host/zerafin/plugin_services/descriptor_model.h"
#include "protocol/host_record.h"
#include "protocol/host_tables.h"

using EntryPointProc = void (*)(int16_t selector, void* record, intptr_t* dataSlot,
                                int16_t* result);

// One plug-in as the host drives it: the record with every service, the data
// slot and the parameter handle kept across operations, and the document whose
// pixels are handed over tile by tile. One session is active at a time (the
// host's callbacks are plain functions).
class HostSession {
  public:
    HostSession(EntryPointProc entryPoint, void* ownerWindow);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // The document to filter; the area defaults to the whole image. From here
    // on the session keeps the image's red, green and blue interleaved, as the
    // plug-in takes and gives them; the document's planes are brought up to
    // date at the end of each run.
    void setDocument(Document* document);
    void setArea(const Rect16& area) { record.areaRect = area; }

    int16_t call(int16_t selector);
    int16_t showAbout();
    // Parameters (when the dialog is wanted), prepare, start, every continue
    // the plug-in asks for, and finish. The first non-zero result, or 0.
    int16_t runFilter(bool withDialog);

    // The parameter block kept between operations, as raw bytes.
    std::vector<uint8_t> parameterBytes() const;
    void setParameterBytes(const std::vector<uint8_t>& bytes);
    bool hasParameters() const { return record.parameterHandle != nullptr; }

    // Scripting: the descriptor the plug-in reads at the next start, played
    // with the dialog or without (false when memory is short), and the one it
    // wrote at its last finish (nullopt if none), taken out of the script
    // record so that the next start does not play it.
    bool playScript(const Descriptor& descriptor, bool withDialog);
    std::optional<Descriptor> takeRecordedDescriptor();

    // Fills the buffers of the rectangles the plug-in requested.
    void supplyRequested();

    HostRecord record{};
    intptr_t dataSlot = 0;
    bool showProgress = false;
    int waitingProperty = 0; // the plug-in's 'wtch' property

  private:
    void writeBackOutput(const Rect16& requested);
    void setChannelCounts();

    EntryPointProc entryPoint;
    Document* document = nullptr;
    WindowInfo windowInfo{};
    HostHandleTable handleTable{};
    HostPropertyTable propertyTable{};
    HostScriptRecord scriptRecord{};
    std::vector<uint8_t> inputBuffer, outputBuffer, maskBuffer;
    std::vector<uint8_t> imageRgb; // the document's red, green and blue, interleaved
};

// Set from the interrupt handler; checkAbort reports it.
void requestAbort();
bool abortRequested();
