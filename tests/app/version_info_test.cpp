// CVersionInfo against real version records: the program's own (linked into
// this test) and small modules built with records of their own.
#include "app/version_info.h"

#include <gtest/gtest.h>

#include "base/cp932.h"
#include "base/text_win.h"
#include "record_modules.h"
#include "support/temp_dir.h"

namespace kolt {
namespace {

using test::Sj;

std::string FailureOf(auto&& action) {
    try {
        action();
    } catch (const VersionInfoError& e) {
        return e.what();
    }
    return "no failure";
}

TEST(VersionInfoOwnRecord, HoldsTheProgramValues) {
    const CVersionInfo info;
    EXPECT_EQ(info.translation(), (version::Translation{0x0411, 932}));
    EXPECT_EQ(info.GetVersionValue("FileDescription"), Sj("Velquisto　シナリオセレクター"));
    EXPECT_EQ(info.GetVersionValue("ProductName"), "kolt Scenario Selector");
    EXPECT_EQ(info.GetVersionValue("ProductVersion"), test::BuildProductVersion());
    EXPECT_EQ(info.GetVersionValue("FileVersion"), test::BuildFileVersion());
    EXPECT_FALSE(info.GetVersionValue("LegalCopyright").empty());
    EXPECT_EQ(info.GetVersionValue("LegalCopyright").find('\n'), std::string::npos);
    EXPECT_EQ(info.GetVersionValue("NoSuchValue"), "");

    const VS_FIXEDFILEINFO& fixed = info.GetFixedInfo();
    const DWORD majorMinor = (KOLT_VERSION_MAJOR << 16) | KOLT_VERSION_MINOR;
    EXPECT_EQ(fixed.dwFileVersionMS, majorMinor);
    EXPECT_EQ(fixed.dwFileVersionLS, static_cast<DWORD>((KOLT_VERSION_PATCH << 16) | KOLT_VERSION_TWEAK));
    EXPECT_EQ(fixed.dwProductVersionMS, majorMinor);
    EXPECT_EQ(fixed.dwProductVersionLS, 0u);
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.dwFileFlags, 0u);
    EXPECT_EQ(fixed.dwFileOS, 0x4u);
    EXPECT_EQ(fixed.dwFileType, 0x1u);
}

TEST(VersionInfoLookup, FirstTranslationOutsideTheTablesIsStillRead) {
    const CVersionInfo info(test::RecordModule("odd_translation.dll"));
    EXPECT_EQ(info.translation(), (version::Translation{0x0C04, 874}));
    EXPECT_EQ(info.GetVersionValue("ProductName"), "Odd translation");
    EXPECT_EQ(info.GetVersionValue("FileVersion"), "");
}

TEST(VersionInfoLookup, FallbackTakesTheFirstPairInCodePageOrder) {
    const CVersionInfo info(test::RecordModule("fallback_order.dll"));
    EXPECT_EQ(info.GetVersionValue("ProductName"), "from 0416 1200");
    EXPECT_EQ(info.GetVersionValue("ProductVersion"), "from 0804 1200");
    EXPECT_EQ(info.GetVersionValue("LegalCopyright"), "only in 0409 1252");
    // Found empty in the first matching table: the later, non-empty one is not reached.
    EXPECT_EQ(info.GetVersionValue("FileDescription"), "");
    EXPECT_EQ(info.GetVersionValue("Comments"), "");
}

TEST(VersionInfoLookup, DebugFlagAndJapaneseText) {
    const CVersionInfo info(test::RecordModule("debug_build.dll"));
    EXPECT_EQ(info.GetFixedInfo().dwFileFlags & VS_FF_DEBUG, static_cast<DWORD>(VS_FF_DEBUG));
    EXPECT_EQ(info.GetVersionValue("FileDescription"), Sj("デバッグ版"));
}

TEST(VersionInfoFailures, EachCarriesItsText) {
    EXPECT_EQ(FailureOf([] { CVersionInfo info(test::RecordModule("no_record.dll")); }), "Versioninfo not found");
    EXPECT_EQ(FailureOf([] { CVersionInfo info(test::RecordModule("missing file.dll")); }), "Versioninfo not found");
    EXPECT_EQ(FailureOf([] { CVersionInfo info(test::RecordModule("no_translation.dll")); }),
              "GetFileVersionInfo Error");

    const CVersionInfo noFixed(test::RecordModule("no_fixed_part.dll"));
    EXPECT_EQ(noFixed.GetVersionValue("ProductName"), "NoFixed");
    EXPECT_EQ(FailureOf([&] { noFixed.GetFixedInfo(); }), "Error GetFixesInfo - API VerQueryValue");
}

TEST(VersionInfoLookup, ReadsAModuleUnderAJapanesePath) {
    test::TempDir dir;
    const std::string source = test::RecordModule("debug_build.dll");
    const std::string target = Sj("版情報.dll");
    dir.WriteFile(target, "");
    const std::string to = Utf8ToCp932(dir.Native(target)).value();
    ASSERT_TRUE(CopyFileW(Wide(source).c_str(), Wide(to).c_str(), FALSE));
    const CVersionInfo info(to);
    EXPECT_EQ(info.GetVersionValue("ProductName"), "Debug record");
}

}  // namespace
}  // namespace kolt
