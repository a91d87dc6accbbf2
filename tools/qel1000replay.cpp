// qel1000replay: feeds panel input reports and key map operations from a text trace through
// the program's core and prints the log lines and key events the program would produce.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "keymap/ini_profile_store.h"
#include "platform/file_access_factory.h"
#include "tools/replay/session.h"

namespace {

constexpr int kExitUsage = 2;
constexpr std::string_view kProgram = "qel1000replay";

int Usage() {
    std::cerr << "usage: " << kProgram << " [--keymap FILE] [TRACE]\n";
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::string keyMapFile = "keymap.ini";
    std::string traceFile = "-";
    bool haveTrace = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--keymap") {
            if (++i >= argc) return Usage();
            keyMapFile = argv[i];
        } else if (arg == "-h" || arg == "--help") {
            std::cout << "usage: " << kProgram << " [--keymap FILE] [TRACE]\n";
            return 0;
        } else if (!haveTrace && (arg == "-" || !arg.starts_with("-"))) {
            traceFile = arg;
            haveTrace = true;
        } else {
            return Usage();
        }
    }

    std::ifstream traceStream;
    std::istream* input = &std::cin;
    if (traceFile != "-") {
        traceStream.open(traceFile, std::ios::binary);
        if (!traceStream) {
            std::perror((std::string(kProgram) + ": cannot read " + traceFile).c_str());
            return kExitUsage;
        }
        input = &traceStream;
    }

    auto fileAccess = qel::CreateFileAccess();
    qel::IniProfileStore store(*fileAccess);
    qel::replay::ReplaySession session(keyMapFile, store, std::cout);

    std::string line;
    for (long lineNumber = 1; std::getline(*input, line); ++lineNumber) {
        const auto parsed = qel::replay::ParseTraceLine(line);
        const qel::Status ran = parsed ? session.Run(parsed.Value()) : qel::Failure{parsed.Error()};
        if (!ran) {
            std::cout.flush();
            std::cerr << kProgram << ": line " << lineNumber << ": " << ran.Error() << '\n';
            return kExitUsage;
        }
    }
    if (input->bad()) {
        std::cout.flush();
        std::cerr << kProgram << ": cannot read " << traceFile << '\n';
        return kExitUsage;
    }
    std::cout.flush();
    return 0;
}
