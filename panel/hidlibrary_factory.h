#pragma once

#include <memory>
#include <string>

#include "panel/hidlibrary.h"
#include "translate/logsink.h"
#include "translate/result.h"

namespace qel {

// The environment variable that swaps the real panels for virtual ones playing a script file.
// A test and demo facility, not a user setting.
inline constexpr const char* kVirtualPanelsVariable = "QEL1000_VIRTUAL_PANELS";

// The text of the error dialog shown when the library cannot start.
inline constexpr const char* kLoadErrorText = "Error loading dll";

// A started back end (never null), or why it could not start.
using HidLibraryLoad = Result<std::unique_ptr<HidLibrary>>;

// Main thread, once at start-up. Virtual panels when QEL1000_VIRTUAL_PANELS names a script
// file (its unusable lines are logged with their line numbers; an unreadable file is a start
// failure), else the hidapi back end. On failure the reason is already written to log; the
// caller shows the kLoadErrorText dialog and runs on without panels. log must outlive the library.
[[nodiscard]] HidLibraryLoad CreateHidLibrary(LogSink& log);

// The same choice with the variable's value given (empty = not set), for tests.
[[nodiscard]] HidLibraryLoad CreateHidLibrary(LogSink& log, const std::string& virtualScriptPath);

// Virtual panels playing the script file in real time from Connect on.
[[nodiscard]] HidLibraryLoad CreateVirtualPanelsFromFile(LogSink& log, const std::string& path);

}  // namespace qel
