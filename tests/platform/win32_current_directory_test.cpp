// Where keymap.ini lives on Windows: the current directory through GetCurrentDirectoryA and the
// 260-byte rule, handed to the file access as UTF-8.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/current_directory.h"
#include "platform/file_access_factory.h"

namespace qel::test {
namespace {

std::wstring CurrentDirectoryW() {
    std::wstring directory(::GetCurrentDirectoryW(0, nullptr), L'\0');
    directory.resize(
        ::GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data()));
    return directory;
}

std::string Utf8(const std::wstring& wide) {
    const int size = static_cast<int>(wide.size());
    std::string utf8(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size,
                                                                    nullptr, 0, nullptr, nullptr)),
                     '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), static_cast<int>(utf8.size()),
                          nullptr, nullptr);
    return utf8;
}

// Folders of the test's own under the temporary folder; the current directory of the process
// comes back at the end.
class CurrentDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        Saved = CurrentDirectoryW();
        wchar_t temporary[MAX_PATH];
        ASSERT_NE(::GetTempPathW(MAX_PATH, temporary), 0U);
        Root = std::wstring(temporary) + L"qel-cwd-" + std::to_wstring(::GetCurrentProcessId());
        ASSERT_TRUE(::CreateDirectoryW(Root.c_str(), nullptr)) << ::GetLastError();
    }
    void TearDown() override {
        ::SetCurrentDirectoryW(Saved.c_str());
        for (auto folder = Made.rbegin(); folder != Made.rend(); ++folder) {
            ::DeleteFileW((*folder + L"\\keymap.ini").c_str());
            ::RemoveDirectoryW(folder->c_str());
        }
        ::RemoveDirectoryW(Root.c_str());
    }
    // Makes a folder in the root and makes it the current directory.
    bool Enter(const std::wstring& name) {
        const std::wstring folder = Root + L"\\" + name;
        if (!::CreateDirectoryW(folder.c_str(), nullptr)) return false;
        Made.push_back(folder);
        return ::SetCurrentDirectoryW(folder.c_str()) != 0;
    }

    std::wstring Saved;
    std::wstring Root;
    std::vector<std::wstring> Made;
};

TEST_F(CurrentDirectoryTest, DirectoryOf248CharactersFitsTheBufferAnd249DoesNot) {
    // The root's length in the system's spelling, with the backslash before a folder in it.
    const std::size_t base = Utf8(Root).size() + 1;
    ASSERT_LT(base, 200U) << "the temporary folder is too deep for this test";
    struct Case {
        std::size_t Length;
        wchar_t Letter;
        bool Fits;
    };
    for (const Case& c : {Case{248, L'a', true}, Case{249, L'b', false}, Case{258, L'c', false}}) {
        SCOPED_TRACE(c.Length);
        if (!Enter(std::wstring(c.Length - base, c.Letter))) {
            ADD_FAILURE() << "cannot enter a folder of " << c.Length << " characters";
            continue;
        }
        ASSERT_EQ(::GetCurrentDirectoryA(0, nullptr), c.Length + 1);
        KeyMapPathBuffer buffer(NativePathRules());
        const KeyMapLocation location = LocateKeyMapInCurrentDirectory(buffer);
        if (c.Fits) {
            ASSERT_TRUE(location.Ok()) << location.Error();
            EXPECT_EQ(location.Value(), Utf8(Made.back()) + "\\keymap.ini");
        } else {
            ASSERT_FALSE(location.Ok());
            EXPECT_EQ(location.Error(),
                      "keymap.ini cannot be used: the current directory is longer than 248 "
                      "characters");
        }
    }
}

TEST_F(CurrentDirectoryTest, TheFileAccessGetsTheDirectoryInUtf8AndFindsTheFileThere) {
    // "Vol é" spells as one byte per character in the Western code pages, as two in UTF-8.
    ASSERT_TRUE(Enter(L"Vol \u00e9"));
    const std::wstring file = Made.back() + L"\\keymap.ini";
    const HANDLE written = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(written, INVALID_HANDLE_VALUE);
    DWORD count = 0;
    ::WriteFile(written, "[S]\r\nk=v\r\n", 10, &count, nullptr);
    ::CloseHandle(written);

    KeyMapPathBuffer buffer(NativePathRules());
    const KeyMapLocation location = LocateKeyMapInCurrentDirectory(buffer);
    ASSERT_TRUE(location.Ok()) << location.Error();
    EXPECT_EQ(location.Value(), Utf8(file));
    const auto read = CreateFileAccess()->ReadWholeFile(location.Value());
    ASSERT_TRUE(read.Ok()) << read.Error();
    EXPECT_EQ(read.Value(), std::optional<std::string>("[S]\r\nk=v\r\n"));
}

TEST_F(CurrentDirectoryTest, ADirectoryTheCodePageCannotSpellGivesNoPathAndSaysWhy) {
    if (::GetACP() == CP_UTF8) {
        GTEST_SKIP() << "the system's code page is UTF-8, which spells every directory";
    }
    ASSERT_TRUE(Enter(L"\u65e5\u672c"));
    KeyMapPathBuffer buffer(NativePathRules());
    const KeyMapLocation location = LocateKeyMapInCurrentDirectory(buffer);
    ASSERT_FALSE(location.Ok());
    EXPECT_EQ(location.Error(),
              "keymap.ini cannot be used: the current directory cannot be spelled in the system's "
              "code page " +
                  std::to_string(::GetACP()));
}

}  // namespace
}  // namespace qel::test
