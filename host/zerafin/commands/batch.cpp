#include "host/zerafin/commands/batch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>

#include "host/zerafin/commands/filter_command.h"
#include "host/zerafin/files/host_files.h"
#include "host/zerafin/plugin_services/host_session.h"
#include "host/zerafin/terminal/messages.h"
#include "host/zerafin/terminal/progress_line.h"

namespace {
std::string extensionOf(ImageFormat format) {
    switch (format) {
    case ImageFormat::Jpeg:
        return ".jpg";
    case ImageFormat::Bmp:
        return ".bmp";
    case ImageFormat::Tga:
        return ".tga";
    case ImageFormat::Png:
        break;
    }
    return ".png";
}
} // namespace

std::string batchOutputPath(const std::string& input, const std::string& folder,
                            ImageFormat format) {
    std::string name = fileNameOf(input);
    // A leading dot starts a hidden file's name, not its extension.
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return pathInFolder(folder, name + extensionOf(format));
}

std::optional<std::string> batchClash(const std::vector<std::string>& inputs,
                                      const std::vector<std::string>& outputs) {
    std::vector<std::optional<FileIdentity>> in, out;
    for (const std::string& path : inputs)
        in.push_back(identityOf(path));
    for (const std::string& path : outputs)
        out.push_back(identityOf(path));
    for (size_t a = 0; a < outputs.size(); ++a)
        for (size_t b = 0; b < outputs.size(); ++b) {
            if (a < b && out[a] && out[a] == out[b])
                return "'" + inputs[a] + "' and '" + inputs[b] + "' would both be written to '" +
                       outputs[b] + "'";
            if (a != b && out[a] && out[a] == in[b])
                return "'" + inputs[a] + "' would be written to '" + outputs[a] +
                       "', which is the input '" + inputs[b] + "'";
        }
    return std::nullopt;
}

namespace {
// What became of a batch's images so far.
struct BatchTally {
    size_t lit = 0, skipped = 0, failed = 0;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();

    // "3 lit, 1 skipped, 0 failed in 4.2 s"
    std::string summary() const {
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        return std::to_string(lit) + " lit, " + std::to_string(skipped) + " skipped, " +
               std::to_string(failed) + " failed in " + durationText(spent.count());
    }
};

bool checkOutputFolder(const std::string& folder) {
    if (!pathExists(folder))
        printMessage(stderr, "--out-dir '" + folder + "' does not exist; create it first");
    else if (!isFolder(folder))
        printMessage(stderr, "--out-dir '" + folder + "' is not a folder");
    else
        return true;
    return false;
}
} // namespace

namespace {
// One image of a batch on its way through the stages of a run: the status of
// its last stage, and the messages that stage held back.
struct BatchImage {
    size_t index = 0;
    FilterRunStages stages;
    int status = kExitSuccess;
    std::vector<std::pair<std::FILE*, std::string>> messages;
};

// Runs one stage of the image on a thread of its own, holding its messages
// for the batch's thread to print in their turn.
std::future<BatchImage> startStage(BatchImage image, int (FilterRunStages::*stage)()) {
    return std::async(
        std::launch::async,
        [stage](BatchImage image) {
            HeldMessages held;
            image.status = (image.stages.*stage)();
            image.messages = held.take();
            return image;
        },
        std::move(image));
}

// The images of a batch pass through the three stages of a run: the next
// image is read while this one is lit, and the one before is encoded and
// written meanwhile, so that both processors stay busy beside the lighting's
// own threads. Each image is lit and written exactly as a single run does it.
class BatchRun {
  public:
    explicit BatchRun(const CommandLine& line, const std::vector<std::string>& outputs)
        : line(line), outputs(outputs) {}

    // The status as runBatchCommand tells it.
    int run() {
        const size_t count = line.inputs.size();
        std::future<BatchImage> reading = startStage(imageAt(0), &FilterRunStages::read);
        for (size_t i = 0; i < count && !cancelled; ++i) {
            BatchImage image = reading.get();
            if (i + 1 < count)
                reading = startStage(imageAt(i + 1), &FilterRunStages::read);
            if (line.progress)
                printMessage(stderr, "image " + std::to_string(i + 1) + " of " +
                                         std::to_string(count) + ": '" + line.inputs[i] +
                                         "' into '" + outputs[i] + "'");
            printHeldMessages(image.messages);
            image.messages.clear();
            if (image.status == kExitSuccess)
                image.status = image.stages.light();
            cancelled = image.status == kExitCancelled || abortRequested();
            if (image.status != kExitSuccess || cancelled) {
                settle(image);
                continue;
            }
            finishWriting();
            writing = startStage(std::move(image), &FilterRunStages::write);
        }
        finishWriting();
        if (cancelled || abortRequested()) {
            if (line.progress)
                printMessage(stderr, "batch interrupted: " + tally.summary());
            return kExitCancelled;
        }
        if (line.progress)
            printMessage(stderr, "batch: " + tally.summary());
        else if (tally.lit < count)
            printMessage(stderr, std::to_string(count - tally.lit) + " of " +
                                     std::to_string(count) + " images were not written");
        return worst;
    }

  private:
    BatchImage imageAt(size_t i) const {
        CommandLine one = line;
        one.input = line.inputs[i];
        one.output = outputs[i];
        one.qualityGiven = false; // said once for the batch
        return BatchImage{i, FilterRunStages(one)};
    }

    // Waits for the image being written, if any, and settles it.
    void finishWriting() {
        if (!writing.valid())
            return;
        BatchImage written = writing.get();
        cancelled |= written.status == kExitCancelled;
        settle(written);
    }

    // An image whose stages are over: its messages, and its place in the tally.
    void settle(const BatchImage& image) {
        printHeldMessages(image.messages);
        if (image.status == kExitSuccess) {
            ++tally.lit;
            return;
        }
        if (image.status == kExitCancelled || cancelled)
            return;
        printMessage(stderr,
                     "'" + line.inputs[image.index] + "' was skipped; going on with the others");
        ++(image.status == kExitPluginFailed ? tally.failed : tally.skipped);
        worst = std::max(worst, image.status);
    }

    const CommandLine& line;
    const std::vector<std::string>& outputs;
    std::future<BatchImage> writing;
    BatchTally tally;
    int worst = kExitSuccess;
    bool cancelled = false;
};
} // namespace

int runBatchCommand(const CommandLine& line) {
    if (line.script.empty() && line.style.empty()) {
        printMessage(stderr, "nothing to apply: a batch needs --script or --style");
        return kExitUsage;
    }
    if (!checkOutputFolder(line.outDir))
        return kExitUsage;
    std::vector<std::string> outputs;
    for (const std::string& input : line.inputs)
        outputs.push_back(batchOutputPath(input, line.outDir, line.outputFormat));
    if (const std::optional<std::string> clash = batchClash(line.inputs, outputs)) {
        printMessage(stderr, *clash + "; nothing was written");
        return kExitUsage;
    }
    if (line.qualityGiven && line.outputFormat != ImageFormat::Jpeg)
        printMessage(stderr, "--quality is for JPEG: the batch's images are written without it");
    return BatchRun(line, outputs).run();
}
