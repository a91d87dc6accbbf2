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
#include "platform/win32_system_message.h"

namespace qel {
namespace {

constexpr int kNameAttempts = 100;
constexpr DWORD kReadChunk = 64 * 1024;

// The UTF-16 name of a UTF-8 path; nothing for bytes that are not UTF-8, which must not be
// guessed into the name of some other file.
std::optional<std::wstring> Widen(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int size = static_cast<int>(utf8.size());
    const int length =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
    return wide;
}

Failure Failed(const std::string& path, const char* operation, DWORD error) {
    return {path + ": " + operation + " (" + SystemMessage(error) + ")"};
}

// The system's word for a folder opened as a file is "Access is denied", which does not say
// what is wrong.
Failure FailedOnAFolder(const std::string& path, const char* operation) {
    return {path + ": " + operation + " (Is a folder)"};
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
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
        const std::optional<std::wstring> name = Widen(path);
        if (!name) return Failed(path, "cannot read", ERROR_NO_UNICODE_TRANSLATION);
        Handle file(::CreateFileW(name->c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
                return std::optional<std::string>();
            }
            if (IsFolder(*name)) return FailedOnAFolder(path, "cannot read");
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
        const std::optional<std::wstring> wide = Widen(path);
        if (!wide) return Failed(path, "cannot write", ERROR_NO_UNICODE_TRANSLATION);
        const std::wstring& target = *wide;
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                return FailedOnAFolder(path, "cannot write");
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
