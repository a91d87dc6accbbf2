#include "hid/hidlibrary_factory.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "hid/virtual_library.h"

namespace qel {
namespace {

// The whole script file; nothing when it cannot be opened or read (a folder included).
std::optional<std::string> ReadScript(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::string text;
    std::array<char, 4096> chunk{};
    std::size_t count = 0;
    while ((count = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) {
        text.append(chunk.data(), count);
    }
    const bool failed = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    errno = readErrno;
    if (failed) {
        return std::nullopt;
    }
    return text;
}

}  // namespace

Result<std::vector<ScriptEvent>> ReadPanelScriptFile(LogSink& log, const std::string& path) {
    const std::optional<std::string> text = ReadScript(path);
    if (!text) {
        // errno still holds why the open or the read failed; a folder is named as one, which
        // Windows' C library does not do (it says "Permission denied").
        const std::string why = std::strerror(errno);
        std::error_code error;
        std::string reason = "Virtual panels: " + path + ": cannot read (" +
                             (std::filesystem::is_directory(path, error) ? "Is a directory" : why) +
                             ")";
        log.AppendLine(reason);
        return Failure{std::move(reason)};
    }
    PanelScript script = ParsePanelScript(*text);
    for (const ScriptProblem& problem : script.Problems) {
        log.AppendLine("Virtual panels: " + path + " line " + std::to_string(problem.LineNumber) +
                       ": " + problem.Reason + ", skipped");
    }
    return std::move(script.Events);
}

HidLibraryLoad CreateVirtualPanelsFromFile(LogSink& log, const std::string& path) {
    Result<std::vector<ScriptEvent>> events = ReadPanelScriptFile(log, path);
    if (!events) {
        return Failure{events.Error()};
    }
    std::unique_ptr<HidLibrary> library =
        std::make_unique<VirtualPanels>(std::move(events).Value(), VirtualPanels::Clock::RealTime);
    return library;
}

}  // namespace qel
