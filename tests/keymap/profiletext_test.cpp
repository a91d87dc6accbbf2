#include "keymap/profiletext.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "keymap/utf16text.h"
#include "profile_vectors.h"

namespace qel {
namespace {

using namespace std::string_literals;

using ReadCase = test::ProfileReadVector;

TEST(ProfileTextRead, EveryLookupRuleMatchesTheWindowsProfileFunctions) {
    std::vector<ReadCase> cases = test::WindowsReadVectors();
    const std::vector<ReadCase> further = {
        // Further rules of the same lookup.
        {"value cut at NUL", "[S]\r\nk=ab\0cd\r\n"s, "S", "k", "d", 64, "ab"},
        {"lines before any section are unreadable", "k=v\r\n[S]\r\n", "S", "k", "d", 64, "d"},
        {"non-ASCII compares exactly", "[S]\r\n\xC3\xA9=v\r\n", "S", "\xC3\x89", "d", 64, "d"},
        {"size one gives nothing", "[S]\r\nk=v\r\n", "S", "k", "d", 1, ""},
        {"size zero gives nothing", "[S]\r\nk=v\r\n", "S", "k", "d", 0, ""},
        {"509 characters at size 510", "[S]\r\nk="s + std::string(600, 'x') + "\r\n", "S", "k", "",
         510, std::string(509, 'x')},
        {"default keeps its quotes", "", "S", "k", "\"d\"", 64, "\"d\""},
        {"default is cut to size", "", "S", "k", "default", 4, "def"},
        {"one quote character alone stays", "[S]\r\nk=\"\r\n", "S", "k", "d", 64, "\""},
        {"two quotes give the empty text", "[S]\r\nk=''\r\n", "S", "k", "d", 64, ""},
        {"blank-only line between keys", "[S]\r\n \t \r\nk=v\r\n", "S", "k", "d", 64, "v"},
        {"line break runs of mixed kinds", "[S]\n\r\n\rk=v\n\r", "S", "k", "d", 64, "v"},
        {"header without name is section \"\"", "[]\r\nk=v\r\n", "  ", "k", "d", 64, "v"},
        {"UTF-16 non-ASCII value reads as UTF-8",
         "\xFF\xFE"s + EncodeUtf16Le("[S]\r\nk=\xC3\xA9\r\n"), "S", "k", "d", 64, "\xC3\xA9"},
    };
    cases.insert(cases.end(), further.begin(), further.end());
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const ProfileText text(c.File);
        EXPECT_EQ(text.GetString(c.Section, c.Key, c.Default, c.Size), c.Expected);
    }
}

using Edit = test::ProfileEditVector;
using WriteCase = test::ProfileWriteVector;

TEST(ProfileTextWrite, EveryEditKeepsAllBytesNotInvolvedAsWindowsDoes) {
    std::vector<WriteCase> cases = test::WindowsWriteVectors();
    const std::vector<WriteCase> further = {
        // Further cases of the same edit.
        {"CR-only file keeps CR",
         "[S]\rk=v\r",
         {{"S", "j", "w"}, {"T", "a", "b"}},
         "[S]\rk=v\rj=w\r[T]\ra=b\r"},
        {"LF file without final break gets LF",
         "[S]\nk=v",
         {{"T", "a", "b"}},
         "[S]\nk=v\n[T]\na=b\n"},
        {"only the first of two equal sections is edited",
         "[S]\r\nk=1\r\n[s]\r\nj=2\r\n",
         {{"S", "j", "3"}},
         "[S]\r\nk=1\r\nj=3\r\n[s]\r\nj=2\r\n"},
        {"only the first of two equal keys is edited",
         "[S]\r\nK=1\r\nk=2\r\n",
         {{"S", "k", "3"}},
         "[S]\r\nK=3\r\nk=2\r\n"},
        {"trailing blanks of the old value go",
         "[S]\r\n k\t=\t old \t\r\n",
         {{"S", "K", "n"}},
         "[S]\r\n k\t=\t n\r\n"},
        {"lines before the first section stay",
         "k=v\r\n[S]\r\n",
         {{"S", "k", "w"}},
         "k=v\r\n[S]\r\nk=w\r\n"},
        {"header with text after it takes the key after it",
         "[S]k=v\r\n;c",
         {{"S", "k", "w"}},
         "[S]k=v\r\nk=w\r\n;c"},
        {"added keys stay before a trailing comment without break",
         "[S]\r\nk=1\r\n;c",
         {{"S", "a", "1"}, {"T", "b", "2"}},
         "[S]\r\nk=1\r\na=1\r\n;c\r\n[T]\r\nb=2\r\n"},
        {"an added key can be rewritten in the same batch",
         "",
         {{"S", "k", "1"}, {"s", "K", "2"}},
         "[S]\r\nk=2\r\n"},
        {"a key with '=' in its name changes what reads back",
         "[S]\r\na=1\r\n",
         {{"S", "x=y", "v"}, {"S", "x", "w"}},
         "[S]\r\na=1\r\nx=w\r\n"},
        {"a section name with ']' appends again",
         "",
         {{"a]b", "k", "1"}, {"a]b", "k", "2"}},
         "[a]b]\r\nk=1\r\n[a]b]\r\nk=2\r\n"},
        {"empty existing file", "", {{"", "", ""}}, "[]\r\n=\r\n"},
        // Deletions.
        {"a deleted key goes with its break, comments after it stay; added keys too",
         "[S]\r\nk=1\r\n;c\r\nj=2",
         {{"S", "n", "3"},
          {"S", "K", "", ProfileEditKind::DeleteKey},
          {"S", "j", "", ProfileEditKind::DeleteKey},
          {"S", "n", "", ProfileEditKind::DeleteKey},
          {"S", "x", "", ProfileEditKind::DeleteKey}},
         "[S]\r\n;c\r\n"},
        {"a section deleted goes with its comments and namesakes; rewritten, it goes last",
         "[A]\r\na=1\r\n[S]\r\nk=1\r\n;c\r\n[B]\r\nb=1\r\n[ s ]\r\nk=2",
         {{"S", "j", "0"}, {"S", "", "", ProfileEditKind::DeleteSection}, {"S", "k", "3"}},
         "[A]\r\na=1\r\n[B]\r\nb=1\r\n[S]\r\nk=3\r\n"},
    };
    cases.insert(cases.end(), further.begin(), further.end());
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ProfileText text(c.File);
        for (const Edit& edit : c.Edits) {
            if (edit.Kind == ProfileEditKind::DeleteKey) {
                text.DeleteKey(edit.Section, edit.Key);
            } else if (edit.Kind == ProfileEditKind::DeleteSection) {
                text.DeleteSection(edit.Section);
            } else {
                EXPECT_TRUE(text.WriteString(edit.Section, edit.Key, edit.Value));
            }
        }
        EXPECT_EQ(text.Bytes(), c.Expected);
    }
}

TEST(ProfileTextWrite, WrittenValuesReadBackAsWindowsReadsThem) {
    struct Case {
        const char* Name;
        Edit Written;
        std::string Expected;
    };
    const std::vector<Case> cases = {
        {"W11 empty key", {"S", "", ";comment"}, ";comment"},
        {"W12 blanks trimmed on read", {"S", "k", " v "}, "v"},
        {"W13 quotes removed on read", {"S", "k", "\"q\""}, "q"},
        {"W10 empty value is not the default", {"S", "k", ""}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ProfileText text;
        ASSERT_TRUE(text.WriteString(c.Written.Section, c.Written.Key, c.Written.Value));
        EXPECT_EQ(text.GetString(c.Written.Section, c.Written.Key, "d", 64), c.Expected);
        const ProfileText reread(text.Bytes());
        EXPECT_EQ(reread.GetString(c.Written.Section, c.Written.Key, "d", 64), c.Expected);
    }
}

TEST(ProfileTextWrite, LineBreakOrNulInAnyNameOrValueIsRefusedAndChangesNothing) {
    const std::vector<Edit> refused = {
        {"S", "k", "a\r\n[T]"}, {"S", "k", "a\nb"},  {"S", "k\r", "v"},
        {"S\n", "k", "v"},      {"S", "k", "a\0b"s}, {"S\0"s, "k", "v"},
    };
    const std::string original = "[S]\r\nk=v\r\n";
    for (const Edit& edit : refused) {
        SCOPED_TRACE(edit.Section + "/" + edit.Key + "/" + edit.Value);
        ProfileText text(original);
        EXPECT_FALSE(text.WriteString(edit.Section, edit.Key, edit.Value));
        EXPECT_EQ(text.Bytes(), original);
    }
}

TEST(ProfileTextUtf16, FileStaysUtf16AndUntouchedTextKeepsEveryUnit) {
    // An unpaired surrogate, a pair, and an odd last byte: all must come back byte for byte.
    const std::string units = EncodeUtf16Le(";\xC3\xA9\r\n[S]\r\nk=v\r\n") + "\x00\xD8"s +
                              "\x3D\xD8\x00\xDE"s + EncodeUtf16Le("\r\n");
    const std::string file = "\xFF\xFE"s + units + "\x41"s;
    ProfileText text(file);
    EXPECT_EQ(text.Bytes(), file);
    EXPECT_EQ(text.GetString("S", "k", "d", 64), "v");

    ASSERT_TRUE(text.WriteString("S", "k", "w"));
    ASSERT_TRUE(text.WriteString("T", "n", "\xC3\xA9"));
    const std::string expected = "\xFF\xFE"s + EncodeUtf16Le(";\xC3\xA9\r\n[S]\r\nk=w\r\n") +
                                 "\x00\xD8"s + "\x3D\xD8\x00\xDE"s +
                                 EncodeUtf16Le("\r\n[T]\r\nn=\xC3\xA9\r\n") + "\x41"s;
    EXPECT_EQ(text.Bytes(), expected);
    const ProfileText reread(text.Bytes());
    EXPECT_EQ(reread.GetString("T", "n", "d", 64), "\xC3\xA9");
}

TEST(ProfileTextUtf16, NewTextThatIsNotUtf8IsStoredAsLatin1) {
    ProfileText text("\xFF\xFE"s);
    ASSERT_TRUE(text.WriteString("S", "k", "\xE9"));
    EXPECT_EQ(text.Bytes(), "\xFF\xFE"s + EncodeUtf16Le("[S]\r\nk=\xC3\xA9\r\n"));
}

}  // namespace
}  // namespace qel
