#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "keymap/fileaccess.h"

namespace qel::test {

// Files held in memory, path -> bytes, with scriptable failures. A failed write leaves the
// stored bytes untouched, as the real atomic replacement does.
class MemoryFileAccess final : public FileAccess {
public:
    Result<std::optional<std::string>> ReadWholeFile(const std::string& path) override {
        ++ReadCount;
        if (auto failure = ReadFailures.find(path); failure != ReadFailures.end()) {
            return Failure{path + ": cannot read (" + failure->second + ")"};
        }
        auto file = Files.find(path);
        if (file == Files.end()) return std::optional<std::string>();
        return std::optional<std::string>(file->second);
    }

    Status ReplaceFileAtomically(const std::string& path, std::string_view bytes) override {
        ++WriteCount;
        if (auto failure = WriteFailures.find(path); failure != WriteFailures.end()) {
            return Failure{path + ": cannot write (" + failure->second + ")"};
        }
        Files[path] = std::string(bytes);
        return {};
    }

    // Reads of path fail with reason, e.g. "Permission denied" or "Is a directory".
    void FailReads(const std::string& path, std::string reason) {
        ReadFailures[path] = std::move(reason);
    }
    // Writes of path fail with reason, e.g. "No space left on device",
    // "Read-only file system" or "No such file or directory" (folder gone).
    void FailWrites(const std::string& path, std::string reason) {
        WriteFailures[path] = std::move(reason);
    }
    void ClearFailures() {
        ReadFailures.clear();
        WriteFailures.clear();
    }

    std::map<std::string, std::string> Files;
    std::map<std::string, std::string> ReadFailures;
    std::map<std::string, std::string> WriteFailures;
    std::size_t ReadCount = 0;   // calls of ReadWholeFile
    std::size_t WriteCount = 0;  // calls of ReplaceFileAtomically, failed ones included
};

}  // namespace qel::test
