#include "base/cp932.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>

#include "base/text_win.h"
#endif

namespace kolt {
namespace {

using test::Sj;

TEST(Cp932Scan, SecondByteOfDoubleByteCharacterIsNoSeparator) {
    // "ソ" is 0x83 0x5C: its second byte has the value of a backslash.
    const std::string name = Sj("ソ港") + "\\scenario";
    EXPECT_EQ(name.substr(0, 2), "\x83\x5C");
    EXPECT_EQ(FindChar(name, '\\'), 4u);
    EXPECT_EQ(FindLastChar("a\\" + Sj("表") + "\\b", '\\'), 4u);
    EXPECT_EQ(FindChar(Sj("表"), '\\'), std::string::npos);
    EXPECT_EQ(FindLastChar("abc", '\\'), std::string::npos);
}

TEST(Cp932Scan, CompareIgnoresCaseOfAsciiLettersOnly) {
    EXPECT_TRUE(EqualsNoCase("DORMAUX.EXE", "dormaux.exe"));
    EXPECT_FALSE(EqualsNoCase("dormaux.ex", "dormaux.exe"));
    // Full-width letters are different characters, never folded.
    EXPECT_FALSE(EqualsNoCase(Sj("Ａ"), Sj("ａ")));
    // A trail byte in the ASCII letter range is compared exactly: 0x83 0x41 is
    // "ア", 0x83 0x61 is "ビ".
    EXPECT_FALSE(EqualsNoCase("\x83\x41", "\x83\x61"));
    EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
    EXPECT_GT(CompareNoCase("abcd", "ABC"), 0);
}

TEST(Cp932Scan, ShortenTextCutsAtACharacterBoundary) {
    const std::string ka = Sj("か");  // two bytes
    const struct {
        std::string text;
        std::size_t max;
        std::string expected;
    } cases[] = {
        {"abc", 3, "abc"},
        {"abcd", 3, "abc..."},
        {"a" + ka + ka, 4, "a" + ka + "..."},  // the second character would end at byte 5
        {ka + ka, 4, ka + ka},
        {ka + "b", 1, "..."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortenText(c.text, c.max), c.expected) << c.text << " / " << c.max;
}

TEST(Cp932Conversion, RoundTripsJapaneseAndAscii) {
    const std::string sj = Sj("風向・風速：270°→★");
    EXPECT_EQ(Cp932ToUtf8(sj), "風向・風速：270°→★");
    EXPECT_EQ(Sj("°"), "\x81\x8B");
    EXPECT_EQ(Sj("→"), "\x81\xA8");
    EXPECT_EQ(Sj("★"), "\x81\x9A");
    // 0x5C and 0x7E stay the backslash and the tilde, as on Windows.
    EXPECT_EQ(Cp932ToUtf8("a\\b~c"), "a\\b~c");
    EXPECT_EQ(Cp932ToUtf16(Sj("ソ")), u"ソ");
}

TEST(Cp932Conversion, UndecodableBytesBecomeReplacementCharacters) {
    EXPECT_EQ(Cp932ToUtf8(std::string("a\x81", 2)), "a\xEF\xBF\xBD");
    EXPECT_EQ(Cp932ToUtf16(std::string("\xA0z")), u"\uFFFDz");
    EXPECT_EQ(Utf8ToCp932("\xFF"), std::nullopt);
    EXPECT_EQ(Utf8ToCp932("\xF0\x9F\x98\x80"), std::nullopt);  // an emoji has no CP932 form
    bool lossless = true;
    EXPECT_EQ(Utf16ToCp932(u"a\u00E9b", &lossless), "a?b");
    EXPECT_FALSE(lossless);
}

#ifdef _WIN32
// The one edge to the wide functions: the screen may show '?' for a character
// CP932 lacks, a path to keep or enter may not.
TEST(WideText, ScreenTextLosesWhatAPathRefuses) {
    const std::string so = Sj("ソ\\");  // 0x83 0x5C, then a real backslash
    EXPECT_EQ(Wide(so), L"ソ\\");
    EXPECT_EQ(Narrow(L"ソ\\"), so);
    EXPECT_EQ(NarrowExact(L"ソ\\"), so);
    EXPECT_EQ(Narrow(L"caf\u00e9"), "caf?");
    EXPECT_EQ(NarrowExact(L"caf\u00e9"), std::nullopt);
    EXPECT_EQ(NarrowExact(L""), "");
    const std::wstring self = ModulePath();
    EXPECT_EQ(self.substr(self.size() - 4), L".exe");
    EXPECT_NE(GetFileAttributesW(self.c_str()), INVALID_FILE_ATTRIBUTES);
}
#endif

TEST(Utf8Conversion, SurrogatePairsAndInvalidSequences) {
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
    bool valid = true;
    EXPECT_EQ(Utf8ToUtf16("a\xC0\x80", &valid), u"a\uFFFD\uFFFD");  // overlong form
    EXPECT_FALSE(valid);
}

}  // namespace
}  // namespace kolt
