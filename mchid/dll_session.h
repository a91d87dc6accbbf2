#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "mchid/window_message_library.h"
#include "hid/virtual_library.h"
#include "base/logsink.h"

namespace qel {

// The DLL has no window to report in; what its host should know goes to standard error.
class StandardErrorLog final : public LogSink {
public:
    void AppendLine(std::string_view line) override;
};

// What one Connect of mcHID.dll starts; it stays until the DLL is unloaded.
struct DllSession {
    StandardErrorLog Log;  // before Library: the back end writes to it until it goes
    std::unique_ptr<WindowMessageLibrary> Library;
    std::shared_ptr<VirtualPanels> Panels;  // the back end, when it plays a script
    std::string WritesPath;                 // where the panels' writes go at the end, if anywhere
    std::atomic<bool> Disconnected{false};  // set as Disconnect begins

    std::mutex WritesFileMutex;    // the writes file and the two below
    bool WritesSaved = false;      // the writes file has been written
    std::vector<char> LateWrites;  // command letters written after Disconnect, until then
};

// The virtual panels when QEL1000_VIRTUAL_PANELS names a script, else the real ones through
// hidapi's Windows back end; not yet connected. Null when neither can start, with the reason on
// standard error.
[[nodiscard]] std::unique_ptr<DllSession> StartDllSession();

// After Disconnect: the virtual panels' writes go to the file QEL1000_VIRTUAL_WRITES named at
// Connect, one line each: milliseconds after Connect, product ID, command letter. Then the
// session lets go of the panels.
void FinishDllSession(DllSession& session);

// Any thread. A Write that came after Disconnect had begun: a host's thread still running. With
// a writes file it gets the line "after-disconnect LETTER" there, after the panels' writes.
void NoteWriteAfterDisconnect(DllSession& session, std::uint8_t commandLetter);

}  // namespace qel
