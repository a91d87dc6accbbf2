#pragma once

#include <memory>
#include <string>
#include <vector>

#include "hid/hidlibrary.h"
#include "hid/panel_script.h"
#include "base/logsink.h"
#include "base/result.h"

namespace qel {

// The environment variable that swaps the real panels for virtual ones playing a script file.
// A test and demo facility, not a user setting.
inline constexpr const char* kVirtualPanelsVariable = "QEL1000_VIRTUAL_PANELS";

// The text of the error dialog shown when the library cannot start.
inline constexpr const char* kLoadErrorText = "Error loading dll";

// A started back end (never null), or why it could not start.
using HidLibraryLoad = Result<std::unique_ptr<HidLibrary>>;

// Main thread, once at start-up. The program's library: on Windows mcHID.dll, loaded at run
// time (our own mcHID.dll plays QEL1000_VIRTUAL_PANELS itself); elsewhere virtual panels when
// QEL1000_VIRTUAL_PANELS names a script file, else the hidapi back end. On failure the reason
// is already written to log; the caller shows the kLoadErrorText dialog and runs on without
// panels, calling nothing of the library. log must outlive the library.
[[nodiscard]] HidLibraryLoad CreateHidLibrary(LogSink& log);

// The events of a panel script file; its unusable lines are logged with their line numbers, and
// so is the reason when the file cannot be read (a folder included).
[[nodiscard]] Result<std::vector<ScriptEvent>> ReadPanelScriptFile(LogSink& log,
                                                                   const std::string& path);

// Virtual panels playing the script file in real time from Connect on; an unreadable file is a
// start failure.
[[nodiscard]] HidLibraryLoad CreateVirtualPanelsFromFile(LogSink& log, const std::string& path);

}  // namespace qel
