#include "panel/hidlibrary_factory.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "panel/hidapi_library.h"
#include "panel/hidraw_system.h"
#include "panel/panel_script.h"
#include "panel/virtual_library.h"

namespace qel {
namespace {

HidLibraryLoad Failed(LogSink& log, std::string reason) {
    log.AppendLine(reason);
    return HidLibraryLoad{nullptr, std::move(reason)};
}

HidLibraryLoad CreateHidapiLibrary(LogSink& log) {
    auto system = CreateHidrawSystem();
    if (auto problem = system->Start()) {
        return Failed(log, "Panels: " + *problem);
    }
    return HidLibraryLoad{std::make_unique<HidapiLibrary>(std::move(system), log), {}};
}

}  // namespace

HidLibraryLoad CreateVirtualPanelsFromFile(LogSink& log, const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return Failed(log, "Virtual panels: " + path + ": cannot read");
    }
    std::ostringstream text;
    text << file.rdbuf();
    PanelScript script = ParsePanelScript(text.str());
    for (const ScriptProblem& problem : script.Problems) {
        log.AppendLine("Virtual panels: " + path + " line " + std::to_string(problem.LineNumber) +
                       ": " + problem.Reason + ", skipped");
    }
    return HidLibraryLoad{
        std::make_unique<VirtualPanels>(std::move(script.Events), VirtualPanels::Clock::RealTime),
        {}};
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
