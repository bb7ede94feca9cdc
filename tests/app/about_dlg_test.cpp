// The About box on its real template: with the program's own record (linked
// into this test) and with the records built for the tests.
#include "app/about_dlg.h"

#include <gtest/gtest.h>

#include "about_ids.h"
#include "app/version_info.h"
#include "base/cp932.h"
#include "base/text_win.h"
#include "record_modules.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

namespace kolt {
namespace {

using test::Sj;

struct Boxes {
    std::string caption, description, productName, productVersion, buildKind, fileVersion, copyright;
};

// Opens `dialog`, reads every box, and closes it with OK.
Boxes Show(CAboutDlg& dialog, INT_PTR* result = nullptr) {
    Boxes b;
    INT_PTR ended = 0;
    const bool shown =
        test::DriveModal([&] { ended = dialog.DoModal(nullptr); }, test::DialogWith(IDC_ABOUT_DESCRIPTION),
                         [&](HWND box) {
                             b.caption = Narrow(test::WindowText(box));
                             b.description = Narrow(test::ItemText(box, IDC_ABOUT_DESCRIPTION));
                             b.productName = Narrow(test::ItemText(box, IDC_ABOUT_PRODUCT_NAME));
                             b.productVersion = Narrow(test::ItemText(box, IDC_ABOUT_PRODUCT_VERSION));
                             b.buildKind = Narrow(test::ItemText(box, IDC_ABOUT_BUILD_KIND));
                             b.fileVersion = Narrow(test::ItemText(box, IDC_ABOUT_FILE_VERSION));
                             b.copyright = Narrow(test::ItemText(box, IDC_ABOUT_COPYRIGHT));
                             test::PressButton(box, IDOK);
                         });
    EXPECT_TRUE(shown);
    if (result) *result = ended;
    return b;
}

Boxes ShowRecord(const std::string& file) {
    CAboutDlg dialog(file);
    return Show(dialog);
}

TEST(AboutBox, ShowsTheProgramsOwnRecord) {
    CAboutDlg dialog;
    INT_PTR ended = 0;
    const Boxes b = Show(dialog, &ended);
    EXPECT_EQ(b.caption, Sj("バージョン情報 koltSSel"));
    EXPECT_EQ(b.description, Sj("Velquisto　シナリオセレクター"));
    EXPECT_EQ(b.productName, "kolt Scenario Selector");
    EXPECT_EQ(b.productVersion, "Version: " + test::BuildProductVersion());
    EXPECT_EQ(b.buildKind, "Release Build");
    EXPECT_EQ(b.fileVersion, "FileVersion: " + test::BuildFileVersion());
    EXPECT_EQ(b.copyright, CVersionInfo().GetVersionValue("LegalCopyright"));
    EXPECT_NE(b.copyright.find("Copyright"), std::string::npos);
    EXPECT_EQ(ended, IDOK);
}

TEST(AboutBox, DebugFlagShowsDebugBuild) {
    const Boxes b = ShowRecord(test::RecordModule("debug_build.dll"));
    EXPECT_EQ(b.description, Sj("デバッグ版"));
    EXPECT_EQ(b.productVersion, "Version: 0.9");
    EXPECT_EQ(b.buildKind, "Debug Build");
}

TEST(AboutBox, TextsFoundThroughTheFallbackOrder) {
    const Boxes b = ShowRecord(test::RecordModule("fallback_order.dll"));
    EXPECT_EQ(b.description, "");  // present but empty in the first matching table
    EXPECT_EQ(b.productName, "from 0416 1200");
    EXPECT_EQ(b.productVersion, "Version: from 0804 1200");
    EXPECT_EQ(b.buildKind, "Release Build");
    EXPECT_EQ(b.fileVersion, "FileVersion: ");  // no table has it: the prefix alone
    EXPECT_EQ(b.copyright, "only in 0409 1252");
}

TEST(AboutBox, MissingOrUnreadableRecordLeavesOnlyTheFailureText) {
    for (const char* file : {"no_record.dll", "no_translation.dll", "missing.dll"}) {
        const Boxes b = ShowRecord(test::RecordModule(file));
        EXPECT_EQ(b.description, Sj("バージョン情報取得失敗")) << file;
        EXPECT_EQ(b.productName, "") << file;
        EXPECT_EQ(b.productVersion, "") << file;
        EXPECT_EQ(b.buildKind, "") << file;
        EXPECT_EQ(b.fileVersion, "") << file;
        EXPECT_EQ(b.copyright, "") << file;
    }
}

TEST(AboutBox, MissingFixedPartStopsAfterTheVersion) {
    const Boxes b = ShowRecord(test::RecordModule("no_fixed_part.dll"));
    EXPECT_EQ(b.description, Sj("バージョン情報取得失敗"));
    EXPECT_EQ(b.productName, "NoFixed");
    EXPECT_EQ(b.productVersion, "Version: ");
    EXPECT_EQ(b.buildKind, "");
    EXPECT_EQ(b.fileVersion, "");
    EXPECT_EQ(b.copyright, "");
}

TEST(AboutBox, EachOpeningReadsTheRecordAgain) {
    test::TempDir dir;
    const std::string copy = Utf8ToCp932(dir.Native("record.dll")).value();
    const auto place = [&](const char* source) {
        return CopyFileW(Wide(test::RecordModule(source)).c_str(), Wide(copy).c_str(), FALSE) != FALSE;
    };
    ASSERT_TRUE(place("debug_build.dll"));
    EXPECT_EQ(ShowRecord(copy).buildKind, "Debug Build");
    ASSERT_TRUE(place("odd_translation.dll"));
    const Boxes b = ShowRecord(copy);
    EXPECT_EQ(b.productName, "Odd translation");
    EXPECT_EQ(b.buildKind, "Release Build");
}

}  // namespace
}  // namespace kolt
