#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "keymap/fileaccess.h"
#include "platform/file_access_factory.h"

namespace qel {
namespace {

constexpr int kNameAttempts = 100;
constexpr DWORD kReadChunk = 64 * 1024;

std::wstring Widen(const std::string& utf8) {
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                          length);
    return wide;
}

Failure Failed(const std::string& path, const char* operation, DWORD error) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length ? std::string(text, length) : "error " + std::to_string(error);
    ::LocalFree(text);
    // System messages end with ".\r\n"; the message goes inside parentheses.
    while (!reason.empty() &&
           (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.')) {
        reason.pop_back();
    }
    return {path + ": " + operation + " (" + reason + ")"};
}

class Handle {
public:
    explicit Handle(HANDLE handle) : Value(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Close(); }
    [[nodiscard]] HANDLE Get() const { return Value; }
    [[nodiscard]] bool Valid() const { return Value != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE handle) {
        Close();
        Value = handle;
    }
    bool Close() {
        const bool closed = !Valid() || ::CloseHandle(Value);
        Value = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE Value;
};

class Win32FileAccess final : public FileAccess {
public:
    Result<std::optional<std::string>> ReadWholeFile(const std::string& path) override {
        Handle file(::CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
                return std::optional<std::string>();
            }
            return Failed(path, "cannot read", error);
        }
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(file.Get(), &size)) {
            return Failed(path, "cannot read", ::GetLastError());
        }
        if (static_cast<std::uint64_t>(size.QuadPart) > kMaxFileBytes) {
            return Failed(path, "cannot read", ERROR_FILE_TOO_LARGE);
        }
        std::string bytes;
        std::string chunk(kReadChunk, '\0');
        for (;;) {
            DWORD count = 0;
            if (!::ReadFile(file.Get(), chunk.data(), kReadChunk, &count, nullptr)) {
                return Failed(path, "cannot read", ::GetLastError());
            }
            if (count == 0) break;
            bytes.append(chunk.data(), count);
            if (bytes.size() > kMaxFileBytes) {
                return Failed(path, "cannot read", ERROR_FILE_TOO_LARGE);
            }
        }
        return std::optional<std::string>(std::move(bytes));
    }

    Status ReplaceFileAtomically(const std::string& path, std::string_view bytes) override {
        const std::wstring target = Widen(path);
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                return Failed(path, "cannot write", ERROR_DIRECTORY);
            }
            // A read-only file stays unchanged, as an in-place write would leave it.
            if (attributes & FILE_ATTRIBUTE_READONLY) {
                return Failed(path, "cannot write", ERROR_ACCESS_DENIED);
            }
        }

        std::wstring temporary;
        Handle file(INVALID_HANDLE_VALUE);
        for (int attempt = 0; attempt < kNameAttempts && !file.Valid(); ++attempt) {
            temporary = target + L"." + std::to_wstring(::GetCurrentProcessId()) + L"." +
                        std::to_wstring(::GetTickCount64() + static_cast<ULONGLONG>(attempt)) +
                        L".tmp";
            file.Reset(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file.Valid() && ::GetLastError() != ERROR_FILE_EXISTS) break;
        }
        if (!file.Valid()) return Failed(path, "cannot write", ::GetLastError());

        std::size_t written = 0;
        while (written < bytes.size()) {
            const DWORD piece =
                static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 30));
            DWORD count = 0;
            if (!::WriteFile(file.Get(), bytes.data() + written, piece, &count, nullptr) ||
                count == 0) {
                return Discard(path, file, temporary);
            }
            written += count;
        }
        if (!::FlushFileBuffers(file.Get())) return Discard(path, file, temporary);
        if (!file.Close()) return Discard(path, file, temporary);
        if (!::MoveFileExW(temporary.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return Discard(path, file, temporary);
        }
        return {};
    }

private:
    // Reports the failure that just happened and removes the temporary file.
    static Failure Discard(const std::string& path, Handle& file, const std::wstring& temporary) {
        const DWORD error = ::GetLastError();
        file.Close();
        ::DeleteFileW(temporary.c_str());
        return Failed(path, "cannot write", error);
    }
};

}  // namespace

std::unique_ptr<FileAccess> CreateFileAccess() {
    return std::make_unique<Win32FileAccess>();
}

}  // namespace qel
