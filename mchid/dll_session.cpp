#include "mchid/dll_session.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <utility>

#include "hid/win32_hid_system.h"
#include "hid/hidapi_library.h"
#include "hid/hidlibrary_factory.h"

namespace qel {
namespace {

// Names a file that receives the virtual panels' writes at Disconnect, one line each:
// milliseconds after Connect, product ID, command letter. A test facility like the panels.
constexpr const char* kVirtualWritesVariable = "QEL1000_VIRTUAL_WRITES";

// The process environment itself, not the C run time's copy of it: a host may set a variable
// either way.
std::string EnvironmentValue(const char* name) {
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::string value(size, '\0');
    const DWORD length = GetEnvironmentVariableA(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

constexpr const char* kLateWriteLabel = "after-disconnect";

void SaveWrites(const VirtualPanels& panels, const std::vector<char>& lateWrites,
                const std::string& path, LogSink& log) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (const WriteRecord& write : panels.Writes()) {
        file << write.AtMs << ' ' << write.ProductId << ' ' << write.Letter << '\n';
    }
    for (const char letter : lateWrites) {
        file << kLateWriteLabel << ' ' << letter << '\n';
    }
    if (!file) {
        log.AppendLine(path + ": cannot write");
    }
}

}  // namespace

void StandardErrorLog::AppendLine(std::string_view line) {
    std::fprintf(stderr, "mcHID: %.*s\n", static_cast<int>(line.size()), line.data());
}

std::unique_ptr<DllSession> StartDllSession() {
    auto session = std::make_unique<DllSession>();
    std::shared_ptr<HidLibrary> backEnd;
    const std::string script = EnvironmentValue(kVirtualPanelsVariable);
    if (!script.empty()) {
        Result<std::vector<ScriptEvent>> events = ReadPanelScriptFile(session->Log, script);
        if (!events) {
            return nullptr;
        }
        session->Panels = std::make_shared<VirtualPanels>(std::move(events).Value(),
                                                          VirtualPanels::Clock::RealTime);
        session->WritesPath = EnvironmentValue(kVirtualWritesVariable);
        backEnd = session->Panels;
    } else {
        Result<std::unique_ptr<HidLibrary>> started =
            StartHidapiLibrary(CreateWin32HidSystem(), session->Log);
        if (!started) {
            return nullptr;
        }
        backEnd = std::move(started).Value();
    }
    session->Library = std::make_unique<WindowMessageLibrary>(std::move(backEnd));
    return session;
}

void FinishDllSession(DllSession& session) {
    if (session.Panels && !session.WritesPath.empty()) {
        std::lock_guard lock(session.WritesFileMutex);
        SaveWrites(*session.Panels, session.LateWrites, session.WritesPath, session.Log);
        session.LateWrites.clear();
        session.WritesSaved = true;
    }
    session.Panels.reset();
}

void NoteWriteAfterDisconnect(DllSession& session, std::uint8_t commandLetter) {
    // Only virtual panels keep a writes file; WritesPath is fixed before the session is shared.
    if (session.WritesPath.empty()) {
        return;
    }
    const char letter = static_cast<char>(commandLetter);
    std::lock_guard lock(session.WritesFileMutex);
    if (!session.WritesSaved) {
        session.LateWrites.push_back(letter);
        return;
    }
    std::ofstream file(session.WritesPath, std::ios::binary | std::ios::app);
    file << kLateWriteLabel << ' ' << letter << '\n';
    if (!file) {
        session.Log.AppendLine(session.WritesPath + ": cannot write");
    }
}

}  // namespace qel
