// Our profile store against the system's own profile functions (GetPrivateProfileStringA,
// WritePrivateProfileStringA) on the vectors taken from Windows. Under Wine, each place where
// Wine's functions answer otherwise than Windows is listed below and asserted as such, so a
// change on either side shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "keymap/ini_profile_store.h"
#include "../keymap/profile_vectors.h"
#include "platform/file_access_factory.h"

namespace qel::test {
namespace {

// A folder of the test's own; files are named after the vector, so no two calls of the system's
// functions see the same name (they keep a cache of the last file).
class ProfileFolder {
public:
    ProfileFolder() {
        char temporary[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temporary);
        Root = std::string(temporary) + "qel-profile-" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(Root.c_str(), nullptr);
    }
    ~ProfileFolder() {
        for (const std::string& file : Files) ::DeleteFileA(file.c_str());
        ::RemoveDirectoryA(Root.c_str());
    }
    // A fresh path for the vector, with its bytes in the file unless they are empty (no file).
    std::string File(const std::string& name, const std::string& bytes) {
        std::string path = Root + "\\" + std::to_string(Files.size()) + "-";
        for (const char c : name) path += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        path += ".ini";
        Files.push_back(path);
        if (!bytes.empty()) std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::string Root;
    std::vector<std::string> Files;
};

std::string SystemGet(const ProfileReadVector& v, const std::string& path) {
    std::string buffer(v.Size + 1, '\0');
    const DWORD count =
        ::GetPrivateProfileStringA(v.Section.c_str(), v.Key.c_str(), v.Default.c_str(),
                                   buffer.data(), static_cast<DWORD>(v.Size), path.c_str());
    buffer.resize(count);
    return buffer;
}

bool UnderWine() {
    return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Where the system's functions answer otherwise than the vector, and why.
struct SystemAnswer {
    std::string Answer;
    enum { WineDeviation, OurDecision } Kind;
    const char* Why;
};
constexpr auto kWine = SystemAnswer::WineDeviation;
// Vectors marked as our own decision: Windows was never observed there, and Wine decides
// otherwise. On Windows they are not compared.
constexpr auto kOurs = SystemAnswer::OurDecision;

const std::map<std::string, SystemAnswer> kReadAnswers = {
    {"R06", {"v", kWine, "trims a TAB off the section asked for"}},
    {"R12", {"v", kWine, "takes ;k=v for the key \";k\", not for a comment"}},
    {"R33", {"val_no_section", kWine, "keys before the first header form section \"\""}},
    {"R34", {"v", kWine, "keys before the first header form section \"\""}},
    {"R35", {"d", kWine, "a header without ']' is no header"}},
    {"R36", {"d", kWine, "the section name runs to the last ']'"}},
    {"R38 first", {"v1", kWine, "skips a UTF-8 byte order mark"}},
};

const std::map<std::string, SystemAnswer> kWriteAnswers = {
    {"W09",
     {"Data \r\n[section1]\r\nkey1=string1\r\n", kWine,
      "rewrites the file from what it parsed: text before the first section ends at its NUL"}},
    {"W12", {"[S]\r\nk=v \r\n", kWine, "trims the leading blank of the value written"}},
    {"W14", {"[sec ]\r\nkey =v\r\n", kWine, "trims leading blanks of names only"}},
    {"W17",
     {"[A]\r\nk=1\r\nj=3\r\n[B]\r\nm=2\r\n", kWine,
      "rewrites the file from what it parsed: blank lines go"}},
    {"W22", {"\xEF\xBB\xBF[S]\r\nk=v\r\n", kWine, "keeps a UTF-8 byte order mark apart"}},
    {"W18", {"[S]\r\nk=v\r\nj=w\r\n", kOurs, "the system writes CRLF whatever the file has"}},
    {"W21", {"[S]\r\n;c\r\nk=v\r\n", kOurs, "the system adds a key after the comments"}},
    {"W23", {"[S]\r\nk=new\r\n", kOurs, "the system drops the blanks around '='"}},
};

// What the system's functions must answer for a vector: the vector's own answer, or, where
// listed, the answer recorded there (Wine's deviations under Wine only). Nothing when the
// system is not compared there.
std::optional<std::string> SystemShouldAnswer(const std::map<std::string, SystemAnswer>& answers,
                                              const std::string& name,
                                              const std::string& expected) {
    const auto listed = answers.find(name);
    if (listed == answers.end()) return expected;
    if (UnderWine()) {
        EXPECT_NE(listed->second.Answer, expected) << "listed, but the system agrees now";
        return listed->second.Answer;
    }
    if (listed->second.Kind == SystemAnswer::WineDeviation) return expected;
    return std::nullopt;
}

// Why a vector is listed, for the failure message; empty when it is not.
std::string ListedBecause(const std::map<std::string, SystemAnswer>& answers,
                          const std::string& name) {
    const auto listed = answers.find(name);
    return listed == answers.end() ? "" : std::string("listed: ") + listed->second.Why;
}

TEST(ProfileDifferential, OurReadsAndTheSystemsAnswerEveryVectorAsListed) {
    ProfileFolder folder;
    const auto files = CreateFileAccess();
    IniProfileStore store(*files);
    for (const ProfileReadVector& v : WindowsReadVectors()) {
        SCOPED_TRACE(v.Name + (" " + ListedBecause(kReadAnswers, v.Name)));
        const std::string path = folder.File(v.Name, v.File);
        const auto view = store.Read(path);
        ASSERT_TRUE(view.Ok()) << view.Error();
        EXPECT_EQ(view.Value()->GetString(v.Section, v.Key, v.Default, v.Size), v.Expected);
        if (const auto answer = SystemShouldAnswer(kReadAnswers, v.Name, v.Expected)) {
            EXPECT_EQ(SystemGet(v, path), *answer);
        }
    }
}

TEST(ProfileDifferential, OurWritesAndTheSystemsGiveTheBytesOfEveryVectorAsListed) {
    ProfileFolder folder;
    const auto files = CreateFileAccess();
    IniProfileStore store(*files);
    for (const ProfileWriteVector& v : WindowsWriteVectors()) {
        SCOPED_TRACE(v.Name + (" " + ListedBecause(kWriteAnswers, v.Name)));
        const std::string oursPath = folder.File(std::string(v.Name) + " ours", v.File);
        std::vector<ProfileEdit> edits;
        for (const ProfileEditVector& e : v.Edits) edits.push_back({e.Section, e.Key, e.Value});
        ASSERT_TRUE(store.Write(oursPath, edits).Ok());
        EXPECT_EQ(ProfileFolder::Bytes(oursPath), v.Expected);

        const std::string systemPath = folder.File(std::string(v.Name) + " system", v.File);
        for (const ProfileEditVector& e : v.Edits) {
            EXPECT_TRUE(::WritePrivateProfileStringA(e.Section.c_str(), e.Key.c_str(),
                                                     e.Value.c_str(), systemPath.c_str()));
        }
        if (const auto answer = SystemShouldAnswer(kWriteAnswers, v.Name, v.Expected)) {
            EXPECT_EQ(ProfileFolder::Bytes(systemPath), *answer);
        }
    }
}

}  // namespace
}  // namespace qel::test
