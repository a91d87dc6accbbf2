#include "panel/hidlibrary_factory.h"

#include <fstream>
#include <sstream>

#include "panel/virtual_library.h"

namespace qel {

std::optional<std::vector<ScriptEvent>> ReadPanelScriptFile(LogSink& log, const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        log.AppendLine("Virtual panels: " + path + ": cannot read");
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    PanelScript script = ParsePanelScript(text.str());
    for (const ScriptProblem& problem : script.Problems) {
        log.AppendLine("Virtual panels: " + path + " line " + std::to_string(problem.LineNumber) +
                       ": " + problem.Reason + ", skipped");
    }
    return std::move(script.Events);
}

HidLibraryLoad CreateVirtualPanelsFromFile(LogSink& log, const std::string& path) {
    std::optional<std::vector<ScriptEvent>> events = ReadPanelScriptFile(log, path);
    if (!events) {
        return HidLibraryLoad{nullptr, "Virtual panels: " + path + ": cannot read"};
    }
    return HidLibraryLoad{
        std::make_unique<VirtualPanels>(std::move(*events), VirtualPanels::Clock::RealTime), {}};
}

}  // namespace qel
