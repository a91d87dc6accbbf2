#include <filesystem>
#include <string>
#include <system_error>

#include "platform/current_directory.h"

namespace qel {

KeyMapLocation LocateKeyMapInCurrentDirectory(KeyMapPathBuffer& buffer) {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    if (error) {
        return Failure{
            KeyMapUnusable("the current directory cannot be found (" + error.message() + ")")};
    }
    // POSIX names are bytes, and the file access passes them on as they are.
    return LocateKeyMap(buffer, current.native());
}

}  // namespace qel
