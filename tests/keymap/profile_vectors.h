// The profile file vectors taken from the Windows profile functions (R01-R42 for reads, W01-W23
// for writes), shared by the profile text tests and the differential test against the system's
// own functions.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "keymap/profilestore.h"
#include "keymap/utf16text.h"

namespace qel::test {

struct ProfileReadVector {
    const char* Name;
    std::string File;  // bytes; empty stands for a missing file
    std::string Section;
    std::string Key;
    std::string Default;
    std::size_t Size;
    std::string Expected;
};

struct ProfileEditVector {
    std::string Section;
    std::string Key;
    std::string Value;
    ProfileEditKind Kind = ProfileEditKind::Write;  // the Windows vectors only write
};

struct ProfileWriteVector {
    const char* Name;
    std::string File;  // empty stands for a missing file: both give the same result
    std::vector<ProfileEditVector> Edits;
    std::string Expected;
};

inline std::vector<ProfileReadVector> WindowsReadVectors() {
    using namespace std::string_literals;
    return {
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
    };
}

inline std::vector<ProfileWriteVector> WindowsWriteVectors() {
    using namespace std::string_literals;
    return {
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
    };
}

}  // namespace qel::test
