#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <QProcess>
#include <QTcpSocket>

namespace qel::test {

// A FlightGear started by run_fgfs.sh with an FG1000 up, and a props client of the test's own
// that reads and sets properties (blocking; the test's thread only). Ends fgfs when destroyed.
class FgfsSession {
public:
    // On a free port.
    FgfsSession();
    ~FgfsSession();
    FgfsSession(const FgfsSession&) = delete;
    FgfsSession& operator=(const FgfsSession&) = delete;

    // Starts fgfs and waits for the FG1000; empty when it is up, else why not.
    [[nodiscard]] std::string Start(std::chrono::seconds limit);
    [[nodiscard]] std::uint16_t Port() const { return PropsPort; }
    // The values of properties as the props server prints them ("(no reply)" when it did not
    // answer), asked in one write.
    [[nodiscard]] std::vector<std::string> Get(const std::vector<std::string>& paths);
    [[nodiscard]] std::string Get(const std::string& path) {
        return Get(std::vector<std::string>{path}).front();
    }
    // Sets properties (path, value), in one write.
    void Set(const std::vector<std::pair<std::string, std::string>>& values);
    // Asks fgfs to exit after the props client said quit; its exit status, or -1.
    [[nodiscard]] int Exit(std::chrono::seconds limit);

private:
    [[nodiscard]] std::vector<std::string> Ask(const std::vector<std::string>& lines);
    [[nodiscard]] std::string LogTail() const;

    QProcess Fgfs;
    QTcpSocket Props;
    std::uint16_t PropsPort = 0;
    std::string LogPath;
};

}  // namespace qel::test
