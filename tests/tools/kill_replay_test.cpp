// Kills qel1000replay at random moments while it clears and imports keymap.ini over and over,
// then checks what a user would find after a power cut or a crash: the file is there, parses,
// holds all six sections, every key has its old or its new value, and the file as a whole is
// one of the states a completed operation leaves. Run by CTest:
//   kill_replay_test REPLAY_BINARY [KILLS [SEED]]
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "keymap/bindingslot.h"
#include "keymap/mindstar.h"
#include "keymap/profiletext.h"
#include "translate/catalogue.h"
#include "translate/units.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDefaultKills = 100;
constexpr int kMaxRuns = 400;        // runs that end by themselves do not count as kills
constexpr int kTraceRounds = 20000;  // far more than a run gets through before its kill
constexpr int kLongestWaitMs = 120;
constexpr std::size_t kValueSize = 510;
const std::string kAbsent = "\x7F<absent>";

struct Key {
    std::string Section;
    std::string Name;
};

bool Fail(const std::string& why) {
    std::cerr << "kill_replay_test: " << why << '\n';
    return false;
}

void Put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Get(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Every named binding of every unit; the unnamed audio positions share the key "".
std::vector<Key> AllKeys() {
    std::vector<Key> keys;
    for (const qel::UnitNames& unit : qel::kUnits) {
        for (int slot = 0; slot < qel::BindingSlotCount(unit.Id); ++slot) {
            if (qel::IsNamedBindingSlot(unit.Id, slot)) {
                keys.push_back({std::string(unit.Section), qel::BindingKeyName(unit.Id, slot)});
            }
        }
    }
    return keys;
}

std::string InitialKeyMap(const std::vector<Key>& keys) {
    std::string file;
    std::string section;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].Section != section) {
            section = keys[i].Section;
            file += "[" + section + "]\r\n";
        }
        file += keys[i].Name + "=SHIFT+F" + std::to_string(i % 12 + 1) + "\r\n";
    }
    return file;
}

std::string MindstarFile() {
    std::string file = "[KEYBOARD]\r\n";
    int n = 0;
    auto add = [&](std::string_view prefix, std::string_view command) {
        file += std::string(prefix) + std::string(command) + "=CTRL+" +
                static_cast<char>('A' + n++ % 26) + "\r\n";
    };
    for (const qel::MindstarRow& row : qel::kMindstarDisplayCommands) {
        add(qel::kMindstarPfdPrefix, row.Command);
        add(qel::kMindstarMfdPrefix, row.Command);
    }
    for (const qel::MindstarRow& row : qel::kMindstarAudioCommands) add("", row.Command);
    for (const qel::MindstarRow& row : qel::kMindstarBezelCommands) add("", row.Command);
    return file;
}

// Runs the replay on trace; kills it after killAfterMs unless negative. True when killed.
bool RunReplay(const std::string& replay, const fs::path& keyMap, const fs::path& trace,
               int killAfterMs, int& status) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string keyMapArg = keyMap.string();
    const std::string traceArg = trace.string();
    std::vector<char*> argv{const_cast<char*>(replay.c_str()), const_cast<char*>("--keymap"),
                            const_cast<char*>(keyMapArg.c_str()),
                            const_cast<char*>(traceArg.c_str()), nullptr};
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, replay.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        status = -1;
        return false;
    }
    if (killAfterMs >= 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(killAfterMs * 1000 + 1));
        ::kill(child, SIGKILL);
    }
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

struct Checker {
    std::vector<Key> Keys;
    std::map<std::string, std::set<std::string>> Allowed;  // section + '\n' + key -> values
    std::vector<std::string> States;                       // whole files a completed step leaves

    bool Check(const std::string& bytes, int run, std::vector<int>& stateCounts) const {
        const qel::ProfileText text(bytes);
        for (const qel::UnitNames& unit : qel::kUnits) {
            const std::string_view section = unit.Section;
            if (text.GetString(section, "", kAbsent, kValueSize) == kAbsent &&
                text.GetString(section, section.starts_with("qel_audio") ? "com1" : "menu", kAbsent,
                               kValueSize) == kAbsent) {
                return Fail("run " + std::to_string(run) + ": section " + std::string(section) +
                            " lost");
            }
        }
        for (const Key& key : Keys) {
            const std::string value = text.GetString(key.Section, key.Name, kAbsent, kValueSize);
            if (!Allowed.at(key.Section + '\n' + key.Name).contains(value)) {
                return Fail("run " + std::to_string(run) + ": [" + key.Section + "] " + key.Name +
                            " holds '" + value + "', neither its old nor its new value");
            }
        }
        for (std::size_t i = 0; i < States.size(); ++i) {
            if (bytes == States[i]) {
                ++stateCounts[i];
                return true;
            }
        }
        return Fail("run " + std::to_string(run) +
                    ": the file is no state a whole operation leaves");
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: kill_replay_test REPLAY_BINARY [KILLS [SEED]]\n";
        return 2;
    }
    const std::string replay = argv[1];
    const int kills = argc > 2 ? std::atoi(argv[2]) : kDefaultKills;
    const unsigned seed = argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10))
                                   : static_cast<unsigned>(std::random_device{}());
    std::cout << "seed " << seed << '\n';

    char pattern[] = "/tmp/qel-kill-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return Fail("cannot make a scratch folder"), 1;
    const fs::path folder = pattern;
    const fs::path keyMap = folder / "keymap.ini";
    const fs::path mindstar = folder / "G1000.ini";

    Checker checker;
    checker.Keys = AllKeys();
    Put(mindstar, MindstarFile());
    const std::string initial = InitialKeyMap(checker.Keys);

    // The whole states, from uninterrupted runs: initial, cleared, imported, cleared again.
    const fs::path clearTrace = folder / "clear.trace";
    const fs::path importTrace = folder / "import.trace";
    Put(clearTrace, "clear-all\n");
    Put(importTrace, "import " + mindstar.string() + "\n");
    int status = 0;
    Put(keyMap, initial);
    RunReplay(replay, keyMap, clearTrace, -1, status);
    const std::string cleared = Get(keyMap);
    RunReplay(replay, keyMap, importTrace, -1, status);
    const std::string imported = Get(keyMap);
    RunReplay(replay, keyMap, clearTrace, -1, status);
    if (status != 0 || Get(keyMap) != cleared || cleared == initial || imported == cleared) {
        fs::remove_all(folder);
        return Fail("the uninterrupted runs did not give three distinct states"), 1;
    }
    checker.States = {initial, cleared, imported};

    // Old and new values of every key, as the three states hold them.
    {
        const qel::ProfileText initialText(initial);
        const qel::ProfileText importedText(imported);
        for (const Key& key : checker.Keys) {
            auto& allowed = checker.Allowed[key.Section + '\n' + key.Name];
            allowed.insert(initialText.GetString(key.Section, key.Name, kAbsent, kValueSize));
            allowed.insert(importedText.GetString(key.Section, key.Name, kAbsent, kValueSize));
            allowed.insert("");
        }
    }

    const fs::path loopTrace = folder / "loop.trace";
    {
        std::string trace;
        for (int i = 0; i < kTraceRounds; ++i)
            trace += "clear-all\nimport " + mindstar.string() + "\n";
        Put(loopTrace, trace);
    }

    Put(keyMap, initial);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> wait(0, kLongestWaitMs);
    std::vector<int> stateCounts(checker.States.size(), 0);
    int killed = 0;
    int runs = 0;
    std::size_t strayFiles = 0;
    bool ok = true;
    const auto start = std::chrono::steady_clock::now();
    while (ok && killed < kills && runs < kMaxRuns) {
        ++runs;
        if (RunReplay(replay, keyMap, loopTrace, wait(random), status)) {
            ++killed;
        } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            ok = Fail("run " + std::to_string(runs) + " ended without being killed, status " +
                      std::to_string(status));
            break;
        }
        if (!fs::is_regular_file(keyMap)) {
            ok = Fail("run " + std::to_string(runs) + ": keymap.ini is gone");
            break;
        }
        ok = checker.Check(Get(keyMap), runs, stateCounts);
        // A kill between creating and renaming the temporary file leaves it behind; it holds
        // nothing the user needs, and removing it keeps the folder listing honest for the next run.
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with(".keymap.ini.") && name.ends_with(".tmp")) {
                ++strayFiles;
                fs::remove(entry.path());
            }
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    fs::remove_all(folder);

    std::cout << "runs " << runs << ", kills " << killed << ", afterwards initial/cleared/imported "
              << stateCounts[0] << "/" << stateCounts[1] << "/" << stateCounts[2]
              << ", temporary files left by a kill " << strayFiles << ", " << seconds << " s\n";
    if (ok && killed < kills) ok = Fail("only " + std::to_string(killed) + " runs were killed");
    return ok ? 0 : 1;
}
