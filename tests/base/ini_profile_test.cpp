#include "base/ini_profile.h"

#include <gtest/gtest.h>

namespace kolt {
namespace {

TEST(IniRead, SectionAndKeyNamesIgnoreCaseAndValuesAreTrimmed) {
    const IniDocument doc("[other]\r\nGameFolder=wrong\r\n[ option ] trailing\r\n  gamefolder =  C:\\Game  \r\n");
    EXPECT_EQ(doc.GetString("Option", "GameFolder"), "C:\\Game");
    EXPECT_EQ(doc.GetString("Option", "Missing"), std::nullopt);
    EXPECT_EQ(doc.GetString("Nothing", "GameFolder"), std::nullopt);
}

TEST(IniRead, OnlyFirstSectionAndFirstKeyCount) {
    const IniDocument doc("GamePriority=1\n[Option]\nGamePriority=64\nGamePriority=16384\n[Option]\nGameFolder=x\n");
    EXPECT_EQ(doc.GetInt("Option", "GamePriority", 32), 64);
    EXPECT_EQ(doc.GetString("Option", "GameFolder"), std::nullopt);  // second [Option] is never searched
}

TEST(IniRead, LineEndingsCommentsAndQuotes) {
    const IniDocument doc("[Option]\r;GameFolder=comment\rGameFolder=\"C:\\A B\"\n#x=1\nbare line\n");
    EXPECT_EQ(doc.GetString("Option", "GameFolder"), "C:\\A B");
    EXPECT_EQ(doc.GetString("Option", "#x"), "1");  // '#' is an ordinary character
    EXPECT_EQ(IniDocument("[O]\nk='v'\n").GetString("O", "k"), "v");
    EXPECT_EQ(IniDocument("[O]\nk=\"v'\n").GetString("O", "k"), "\"v'");
    EXPECT_EQ(IniDocument("[O\nk=v\n").GetString("O", "k"), "v");  // header without ']'
}

TEST(IniRead, IntegersFollowTheProfileRules) {
    EXPECT_EQ(ParseProfileInt("128abc"), 128);
    EXPECT_EQ(ParseProfileInt("-5"), -5);
    EXPECT_EQ(ParseProfileInt("+7"), 7);
    EXPECT_EQ(ParseProfileInt("0x4000"), 16384);
    EXPECT_EQ(ParseProfileInt("abc"), 0);
    EXPECT_EQ(ParseProfileInt("4294967296"), 0);  // wraps to 32 bits
    EXPECT_EQ(ParseProfileInt("2147483648"), INT32_MIN);
    EXPECT_EQ(IniDocument("[Option]\nGamePriority=\n").GetInt("Option", "GamePriority", 32), 32);
    EXPECT_EQ(IniDocument("[Option]\nGamePriority=x\n").GetInt("Option", "GamePriority", 32), 0);
    EXPECT_EQ(IniDocument("").GetInt("Option", "GamePriority", 32), 32);
}

TEST(IniWrite, EmptyFileGetsTheSectionWithBothKeys) {
    IniDocument doc;
    doc.SetString("Option", "GamePriority", "32");
    doc.SetString("Option", "GameFolder", "");
    EXPECT_EQ(doc.bytes(), "[Option]\r\nGamePriority=32\r\nGameFolder=\r\n");
}

TEST(IniWrite, ExistingKeyKeepsItsSpellingAndEverythingElseItsBytes) {
    IniDocument doc("; mine\n[view]\nzoom=2\r\n\n[OPTION]\n  gamepriority = 16384 \nkeep=1\r[Tail]\nx");
    doc.SetString("Option", "GamePriority", "-5");
    EXPECT_EQ(doc.bytes(), "; mine\n[view]\nzoom=2\r\n\n[OPTION]\ngamepriority=-5\r\nkeep=1\r[Tail]\nx");
}

TEST(IniWrite, MissingKeyGoesAfterTheLastKeyOfItsSection) {
    IniDocument doc("[Option]\nGamePriority=64\n; note\n\n[Next]\na=b\n");
    doc.SetString("Option", "GameFolder", "D:\\Game");
    EXPECT_EQ(doc.bytes(), "[Option]\nGamePriority=64\nGameFolder=D:\\Game\r\n; note\n\n[Next]\na=b\n");
    IniDocument headerOnly("[Option]");
    headerOnly.SetString("Option", "GameFolder", "");
    EXPECT_EQ(headerOnly.bytes(), "[Option]\r\nGameFolder=\r\n");
}

TEST(IniWrite, MissingSectionIsAppendedAfterALineBreak) {
    IniDocument doc("[Other]\na=b");
    doc.SetString("Option", "GamePriority", "128");
    EXPECT_EQ(doc.bytes(), "[Other]\na=b\r\n[Option]\r\nGamePriority=128\r\n");
    IniDocument ended("[Other]\na=b\n");
    ended.SetString("Option", "GamePriority", "128");
    EXPECT_EQ(ended.bytes(), "[Other]\na=b\n[Option]\r\nGamePriority=128\r\n");
}

TEST(IniUtf16, ReadsAndEditsUtf16FilesInTheirOwnEncoding) {
    auto utf16 = [](std::u16string_view s) {
        std::string b("\xFF\xFE", 2);
        for (char16_t c : s) {
            b += static_cast<char>(c & 0xFF);
            b += static_cast<char>(c >> 8);
        }
        return b;
    };
    IniDocument doc(utf16(u"[Option]\r\nGameFolder=C:\\ゲーム\r\n[X]\r\ny=1\r\n"));
    EXPECT_EQ(doc.GetString("Option", "GameFolder"), "C:\\\x83\x51\x81\x5B\x83\x80");
    doc.SetString("Option", "GamePriority", "64");
    EXPECT_EQ(doc.bytes(), utf16(u"[Option]\r\nGameFolder=C:\\ゲーム\r\nGamePriority=64\r\n[X]\r\ny=1\r\n"));
}

}  // namespace
}  // namespace kolt
