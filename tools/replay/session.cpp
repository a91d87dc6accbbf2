#include "tools/replay/session.h"

#include <filesystem>
#include <system_error>

namespace qel::replay {

void PrintingInjector::KeyEvent(std::uint8_t virtualKey, bool down) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    Out << (down ? "down " : "up ") << kHex[virtualKey >> 4] << kHex[virtualKey & 0x0F] << '\n';
}

void PrintingLog::AppendLine(std::string_view line) {
    Out << "log " << line << '\n';
}

ReplaySession::ReplaySession(const std::string& keyMapFile, ProfileStore& store, std::ostream& out)
    : Injector(out),
      Log(out),
      Core(KeyMapLocation{keyMapFile}, store, Layout, Injector, Log, Gate) {
    Core.KeyMap.ReadAllKeys();
}

Status ReplaySession::Run(const TraceLine& line) {
    if (const auto* report = std::get_if<ReportCommand>(&line)) {
        Core.Translator.DecodeReport(report->ProductId, ReceiveBuffer(report->Buffer));
    } else if (const auto* keys = std::get_if<KeysCommand>(&line)) {
        Gate.Enabled = keys->Enabled;
    } else if (const auto* write = std::get_if<WriteCommand>(&line)) {
        // A failed save is in the log, as the program shows it; the trace goes on.
        (void)Core.KeyMap.WriteKey(write->DeviceIndex, write->Slot, write->Code);
    } else if (std::holds_alternative<ClearAllCommand>(line)) {
        (void)Core.KeyMap.ClearAllKeys();
    } else if (const auto* import = std::get_if<ImportCommand>(&line)) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(import->FileName, error)) {
            return Failure{"cannot import '" + import->FileName + "': no such file"};
        }
        // A failed import is in the log, as the program shows it; the trace goes on.
        (void)Core.KeyMap.ImportMindstar(import->FileName);
    }
    return {};
}

}  // namespace qel::replay
