#include "keymap/profiletext.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "keymap/utf16text.h"

namespace qel {
namespace {

using namespace std::string_literals;

struct ReadCase {
    const char* Name;
    std::string File;  // bytes; empty stands for a missing file
    std::string Section;
    std::string Key;
    std::string Default;
    std::size_t Size;
    std::string Expected;
};

TEST(ProfileTextRead, EveryLookupRuleMatchesTheWindowsProfileFunctions) {
    const std::vector<ReadCase> cases = {
        {"R01", "[S]\r\nk=v\r\n", "S", "k", "d", 64, "v"},
        {"R02", "[SectionName]\r\nTestKey=TestValue\r\n", "sectionname", "TESTKEY", "d", 64,
         "TestValue"},
        {"R03", "[S]\r\n\t key \v=\t value \v\r\n", "S", "key", "d", 64, "value"},
        {"R04", "  [ \tS\t ]\r\nk=v\r\n", "S", "k", "d", 64, "v"},
        {"R05", "[S]\r\nk=v\r\n", "  S  ", "  k  ", "d", 64, "v"},
        {"R06", "[S]\r\nk=v\r\n", "\tS", "k", "d", 64, "d"},
        {"R08", "[S]\r\nk=  \"   v   \"  \r\n", "S", "k", "d", 64, "   v   "},
        {"R10", "[S]\r\nk=  \"   v   '  \r\n", "S", "k", "d", 64, "\"   v   '"},
        {"R11", "[S]\r\nk=\"'v'\"\r\n", "S", "k", "d", 64, "'v'"},
        {"R12", "[S]\r\n;k=v\r\n", "S", ";k", "d", 64, "d"},
        {"R13", "[S]\r\n \t;k=v\r\n", "S", "k", "d", 64, "d"},
        {"R14", "[S]\r\n#k=v\r\n", "S", "#k", "d", 64, "v"},
        {"R15", "[S]\r\nk=v ;not a comment\r\n", "S", "k", "d", 64, "v ;not a comment"},
        {"R16", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "d", 64, "1"},
        {"R17", "[S]\r\n[S]\r\nk=v", "S", "k", "d", 64, "d"},
        {"R18", "", "S", "k", "   d   ", 64, "   d"},
        {"R21", "[S]\r\nk=val1\r\n", "S", "k", "d", 4, "val"},
        {"R26", "[S]\rk=val1\rn=a\r", "S", "n", "d", 64, "a"},
        {"R27", "[S]\nk=123\n", "S", "k", "d", 64, "123"},
        {"R28", "[S]\r\nk=v", "S", "k", "d", 64, "v"},
        {"R29", "[S]\r\nname3\r\n", "S", "name3", "d", 64, "d"},
        {"R30", "[S]\r\nk=\r\n", "S", "k", "d", 64, ""},
        {"R31", "[s]\r\n=val_no_key\r\n[t]\r\n", "s", "", "d", 64, "val_no_key"},
        {"R32", "[s]\r\nk=v\r\n", "s", "", "d", 64, "d"},
        {"R33", "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n", "", "key", "d", 64,
         "val_e_section"},
        {"R34", "k=v\r\n[S]\r\nj=w\r\n", "", "k", "d", 64, "d"},
        {"R35", "[S   \r\nk=v\r\n", "S", "k", "d", 64, "v"},
        {"R36", "[sec]whoops]\r\nk=v\r\n", "sec", "k", "d", 64, "v"},
        {"R37", "[S]k=v\r\n", "S", "k", "d", 64, "d"},
        {"R38 first", "\xEF\xBB\xBF[S1]\r\nk1=v1\r\n[S2]\r\nk2=v2\r\n", "S1", "k1", "d", 64, "d"},
        {"R38 second", "\xEF\xBB\xBF[S1]\r\nk1=v1\r\n[S2]\r\nk2=v2\r\n", "S2", "k2", "d", 64, "v2"},
        {"R39", "\xFF\xFE"s + EncodeUtf16Le("[S]\r\nk=v\r\n"), "S", "k", "d", 64, "v"},
        {"R40 quoted", "[S]\r\n\"k\"=v\r\n", "S", "\"k\"", "d", 64, "v"},
        {"R40 bare", "[S]\r\n\"k\"=v\r\n", "S", "k", "d", 64, "d"},
        {"R41", "[S]\r\nk=a=b\r\n", "S", "k", "d", 64, "a=b"},
        {"R42", "[S]\r\nk=\xC3\xA9\r\n", "S", "k", "d", 64, "\xC3\xA9"},
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
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const ProfileText text(c.File);
        EXPECT_EQ(text.GetString(c.Section, c.Key, c.Default, c.Size), c.Expected);
    }
}

struct Edit {
    std::string Section;
    std::string Key;
    std::string Value;
};

struct WriteCase {
    const char* Name;
    std::string File;  // empty stands for a missing file: both give the same result
    std::vector<Edit> Edits;
    std::string Expected;
};

TEST(ProfileTextWrite, EveryEditKeepsAllBytesNotInvolvedAsWindowsDoes) {
    const std::vector<WriteCase> cases = {
        {"W01", "", {{"S", "k", "v"}}, "[S]\r\nk=v\r\n"},
        {"W03",
         "",
         {{"App1", "key1", "string1"},
          {"App1", "key2", "string2"},
          {"App1", "key3", "string3"},
          {"App2", "key4", "string4"},
          {"App3", "key5", "string5"}},
         "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n"
         "[App3]\r\nkey5=string5\r\n"},
        {"W04", "[S]\r\na=1\r\nb=2\r\n", {{"S", "a", "x"}}, "[S]\r\na=x\r\nb=2\r\n"},
        {"W05",
         "[SectionName]\r\nTestKey=TestValue",
         {{"SECTIONNAME", "TESTKEY", "TestValue2"}},
         "[SectionName]\r\nTestKey=TestValue2\r\n"},
        {"W06",
         "[S]\r\nb=value\r\na=value\r\n",
         {{"S", "z", ""}, {"S", "b", ""}, {"S", "y", ""}, {"S", "a", ""}},
         "[S]\r\nb=\r\na=\r\nz=\r\ny=\r\n"},
        {"W07",
         ";comment0\r\n[S]\r\n;comment1\r\nb=value\r\n;comment2\r\na=value\r\n",
         {{"S", "z", ""}, {"S", "y", ""}},
         ";comment0\r\n[S]\r\n;comment1\r\nb=value\r\n;comment2\r\na=value\r\nz=\r\ny=\r\n"},
        {"W09",
         "Data \0 before \0 first \0 section"s,
         {{"section1", "key1", "string1"}},
         "Data \0 before \0 first \0 section\r\n[section1]\r\nkey1=string1\r\n"s},
        {"W10", "", {{"App", "key", ""}}, "[App]\r\nkey=\r\n"},
        {"W11", "", {{"S", "", ";comment"}}, "[S]\r\n=;comment\r\n"},
        {"W12", "", {{"S", "k", " v "}}, "[S]\r\nk= v \r\n"},
        {"W13", "", {{"S", "k", "\"q\""}}, "[S]\r\nk=\"q\"\r\n"},
        {"W14", "", {{" sec ", " key ", "v"}}, "[sec]\r\nkey=v\r\n"},
        {"W17",
         "[A]\r\nk=1\r\n\r\n[B]\r\nm=2\r\n",
         {{"A", "j", "3"}},
         "[A]\r\nk=1\r\nj=3\r\n\r\n[B]\r\nm=2\r\n"},
        {"W18", "[S]\nk=v\n", {{"S", "j", "w"}}, "[S]\nk=v\nj=w\n"},
        {"W19", "[S]\r\nk=v", {{"S", "j", "w"}}, "[S]\r\nk=v\r\nj=w\r\n"},
        {"W20", "[A]", {{"A", "k", "v"}}, "[A]\r\nk=v\r\n"},
        {"W21", "[S]\r\n;c\r\n", {{"S", "k", "v"}}, "[S]\r\nk=v\r\n;c\r\n"},
        {"W22", "\xEF\xBB\xBF", {{"S", "k", "v"}}, "\xEF\xBB\xBF\r\n[S]\r\nk=v\r\n"},
        {"W23", "[S]\r\nk = old\r\n", {{"S", "k", "new"}}, "[S]\r\nk = new\r\n"},
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
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ProfileText text(c.File);
        for (const Edit& edit : c.Edits) {
            EXPECT_TRUE(text.WriteString(edit.Section, edit.Key, edit.Value));
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
