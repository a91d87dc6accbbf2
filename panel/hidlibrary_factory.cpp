#include "panel/hidlibrary_factory.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "panel/hidapi_library.h"
#include "panel/hidraw_system.h"
#include "panel/panel_script.h"
#include "panel/virtual_library.h"

namespace qel {
namespace {

HidLibraryLoad Failed(LogSink& log, std::string reason) {
    log.AppendLine(reason);
    return Failure{std::move(reason)};
}

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

HidLibraryLoad CreateHidapiLibrary(LogSink& log) {
    auto system = CreateHidrawSystem();
    if (const Status started = system->Start(); !started) {
        return Failed(log, "Panels: " + started.Error());
    }
    std::unique_ptr<HidLibrary> library = std::make_unique<HidapiLibrary>(std::move(system), log);
    return library;
}

}  // namespace

HidLibraryLoad CreateVirtualPanelsFromFile(LogSink& log, const std::string& path) {
    const std::optional<std::string> text = ReadScript(path);
    if (!text) {
        // errno still holds why the open or the read failed.
        return Failed(log,
                      "Virtual panels: " + path + ": cannot read (" + std::strerror(errno) + ")");
    }
    PanelScript script = ParsePanelScript(*text);
    for (const ScriptProblem& problem : script.Problems) {
        log.AppendLine("Virtual panels: " + path + " line " + std::to_string(problem.LineNumber) +
                       ": " + problem.Reason + ", skipped");
    }
    std::unique_ptr<HidLibrary> library =
        std::make_unique<VirtualPanels>(std::move(script.Events), VirtualPanels::Clock::RealTime);
    return library;
}

HidLibraryLoad CreateHidLibrary(LogSink& log, const std::string& virtualScriptPath) {
    if (!virtualScriptPath.empty()) {
        return CreateVirtualPanelsFromFile(log, virtualScriptPath);
    }
    return CreateHidapiLibrary(log);
}

HidLibraryLoad CreateHidLibrary(LogSink& log) {
    const char* scriptPath = std::getenv(kVirtualPanelsVariable);
    return CreateHidLibrary(log, scriptPath != nullptr ? scriptPath : "");
}

}  // namespace qel
