#include "tools/replay/session.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "translate/units.h"
#include "translate/us_layout.h"

namespace qel::replay {

void PrintingInjector::KeyEvent(std::uint8_t virtualKey, bool down) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    Out << (down ? "down " : "up ") << kHex[virtualKey >> 4] << kHex[virtualKey & 0x0F] << '\n';
}

void PrintingLog::LineAdded(std::string_view line) {
    Out << "log " << line << '\n';
}

namespace {

SessionParts PrintingParts(const std::string& keyMapFile, std::ostream& out) {
    return SessionParts{
        // No panels: the trace's reports are the input.
        .MakeLibrary = {},
        .MakeInjector = [&out](LogSink&) { return std::make_unique<PrintingInjector>(out); },
        .Layout = std::make_unique<UsEnglishLayout>(),
        .KeyMap = KeyMapLocation{keyMapFile},
        // Without panels or pollers nothing is posted from another thread.
        .PostToMain = [](const std::function<void()>& task) { task(); },
    };
}

}  // namespace

ReplaySession::ReplaySession(const std::string& keyMapFile, ProfileStore& store, std::ostream& out)
    : Log(out), Session(PrintingParts(keyMapFile, out), store) {
    Session.Watch(Log);
    Session.Keys().ReadBindings();
}

Status ReplaySession::Run(const TraceLine& line) {
    // Every line is printed as it comes; the session need not hold more than the window would.
    Session.Log().Trim();
    KeyCore& keys = Session.Keys();
    if (const auto* report = std::get_if<ReportCommand>(&line)) {
        // Only the panels' product IDs reach a unit, as only they pass the HID hook.
        if (const std::optional<UnitId> unit = UnitOfProduct(report->ProductId)) {
            keys.Decode(*unit, ReceiveBuffer(report->Buffer));
        }
    } else if (const auto* enable = std::get_if<KeysCommand>(&line)) {
        Session.SetKeysEnabled(enable->Enabled);
    } else if (const auto* write = std::get_if<WriteCommand>(&line)) {
        // A failed save is in the log, as the program shows it; the trace goes on.
        (void)keys.BindSlot(write->Unit, write->Slot, write->Code);
    } else if (std::holds_alternative<ClearAllCommand>(line)) {
        (void)keys.ClearAll();
    } else if (const auto* import = std::get_if<ImportCommand>(&line)) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(import->FileName, error)) {
            return Failure{"cannot import '" + import->FileName + "': no such file"};
        }
        // A failed import is in the log, as the program shows it; the trace goes on.
        (void)keys.Import(import->FileName);
    }
    return {};
}

}  // namespace qel::replay
