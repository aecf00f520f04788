#include "host/zerafin/batch.h"

#include <algorithm>
#include <cstdio>

#include "host/zerafin/filter_command.h"
#include "host/zerafin/host_files.h"
#include "host/zerafin/host_session.h"
#include "host/zerafin/messages.h"

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

int runBatchCommand(const CommandLine& line) {
    if (!isFolder(line.outDir)) {
        printMessage(stderr, "--out-dir '" + line.outDir + "' is not a folder");
        return kExitUsage;
    }
    std::vector<std::string> outputs;
    for (const std::string& input : line.inputs)
        outputs.push_back(batchOutputPath(input, line.outDir, line.outputFormat));
    if (const std::optional<std::string> clash = batchClash(line.inputs, outputs)) {
        printMessage(stderr, *clash + "; nothing was written");
        return kExitUsage;
    }
    int worst = kExitSuccess;
    size_t failed = 0;
    for (size_t i = 0; i < line.inputs.size(); ++i) {
        CommandLine one = line;
        one.input = line.inputs[i];
        one.output = outputs[i];
        const int status = runFilterCommand(one);
        if (status == kExitCancelled || abortRequested())
            return kExitCancelled;
        if (status == kExitSuccess)
            continue;
        printMessage(stderr, "'" + one.input + "' was skipped; going on with the others");
        worst = std::max(worst, status);
        ++failed;
    }
    if (failed > 0)
        printMessage(stderr, std::to_string(failed) + " of " + std::to_string(line.inputs.size()) +
                                 " images were not written");
    return worst;
}
