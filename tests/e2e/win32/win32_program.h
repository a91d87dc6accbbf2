#pragma once

// Windows only. The real program as a child process of an end-to-end test, and the lookups of
// its windows.

#include <windows.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace qel::e2e {

using namespace std::chrono_literals;

// The folder of this test program.
inline std::filesystem::path TestProgramFolder() {
    std::array<wchar_t, 32768> path{};
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return std::filesystem::path(std::wstring(path.data(), length)).parent_path();
}

// A fresh folder below the temporary folder, removed with everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) {
        Path = std::filesystem::temp_directory_path() /
               (name + "-" + std::to_string(::GetCurrentProcessId()));
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
        std::filesystem::create_directories(Path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::filesystem::path Path;
};

class ProgramProcess {
public:
    // Starts program in folder with the extra environment; its standard output and error go
    // to folder/program.out. Started() tells whether it runs.
    ProgramProcess(const std::filesystem::path& program, const std::filesystem::path& folder,
                   const std::map<std::string, std::string>& environment) {
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        Output = ::CreateFileW((folder / "program.out").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                               &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = Output;
        startup.hStdError = Output;
        // The child inherits this process's environment, with the extra variables set for it.
        for (const auto& [name, value] : environment) {
            ::SetEnvironmentVariableA(name.c_str(), value.c_str());
        }
        std::wstring commandLine = L"\"" + program.wstring() + L"\"";
        Running = ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                   nullptr, folder.c_str(), &startup, &Info) != 0;
        for (const auto& entry : environment) {
            ::SetEnvironmentVariableA(entry.first.c_str(), nullptr);
        }
    }
    ~ProgramProcess() {
        if (Running) {
            ::TerminateProcess(Info.hProcess, 255);
            ::WaitForSingleObject(Info.hProcess, 5000);
        }
        if (Info.hProcess != nullptr) ::CloseHandle(Info.hProcess);
        if (Info.hThread != nullptr) ::CloseHandle(Info.hThread);
        if (Output != INVALID_HANDLE_VALUE) ::CloseHandle(Output);
    }
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    [[nodiscard]] bool Started() const { return Info.hProcess != nullptr; }
    [[nodiscard]] DWORD Id() const { return Info.dwProcessId; }

    // The exit status once the program has ended within the limit.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds limit) {
        if (!Started()) return std::nullopt;
        if (::WaitForSingleObject(Info.hProcess, static_cast<DWORD>(limit.count())) !=
            WAIT_OBJECT_0) {
            return std::nullopt;
        }
        Running = false;
        DWORD status = 0;
        ::GetExitCodeProcess(Info.hProcess, &status);
        return status;
    }

private:
    PROCESS_INFORMATION Info{};
    HANDLE Output = INVALID_HANDLE_VALUE;
    bool Running = false;
};

// The visible top-level window of the process with exactly this title, if there is one.
inline std::optional<HWND> FindWindowOf(DWORD processId, const std::string& title) {
    struct Search {
        DWORD ProcessId;
        const std::string& Title;
        std::optional<HWND> Found;
    } search{processId, title, std::nullopt};
    ::EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            std::array<char, 256> text{};
            const int length = ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
            if (owner == s.ProcessId && ::IsWindowVisible(window) &&
                std::string(text.data(), static_cast<std::size_t>(length)) == s.Title) {
                s.Found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

}  // namespace qel::e2e
