// The dialog templates as the resource compiler wrote them: caption, font,
// size, and every control in tab order with its id, class, text, place and
// style. Read back from this test's own resources.
#include "support/dialog_template.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "about_ids.h"
#include "base/cp932.h"
#include "options_ids.h"
#include "support/temp_dir.h"

namespace kolt {
namespace {

using test::Sj;

using Control = test::DialogControl;
using Template = test::DialogTemplate;
using test::kButtonClass, test::kComboBoxClass, test::kEditClass, test::kStaticClass;

Template Load(UINT id) {
    return test::LoadDialogTemplate(id);
}

void ExpectPlace(const Control& c, short x, short y, short cx, short cy) {
    EXPECT_EQ(c.x, x) << c.id;
    EXPECT_EQ(c.y, y) << c.id;
    EXPECT_EQ(c.cx, cx) << c.id;
    EXPECT_EQ(c.cy, cy) << c.id;
}

void ExpectUniqueIds(const Template& t) {
    std::set<int> ids;
    for (const Control& c : t.controls) {
        if (c.id != -1 && c.id != 0xFFFF) {
            EXPECT_TRUE(ids.insert(c.id).second) << "id " << c.id << " used twice";
        }
    }
}

// A modal dialog's frame: caption, font and size in dialog units.
void ExpectModalFrame(const Template& t, const std::string& caption, const std::string& font, int pointSize, int cx,
                      int cy) {
    EXPECT_EQ(t.menu, "");
    EXPECT_EQ(t.windowClass, "");  // the standard dialog class
    EXPECT_EQ(t.caption, caption);
    EXPECT_EQ(t.font, font);
    EXPECT_EQ(t.pointSize, pointSize);
    EXPECT_EQ(t.cx, cx);
    EXPECT_EQ(t.cy, cy);
    const DWORD frame = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(t.style & frame, frame);
}

TEST(OptionsTemplate, Frame) {
    const Template t = Load(IDD_OPTIONS);
    ExpectModalFrame(t, Sj("オプション"), "MS Shell Dlg", 8, 299, 104);
}

TEST(OptionsTemplate, ControlsInTabOrder) {
    const Template t = Load(IDD_OPTIONS);
    ASSERT_EQ(t.controls.size(), 7u);
    const Control& ok = t.controls[0];
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_EQ(ok.windowClass, kButtonClass);
    EXPECT_EQ(ok.text, "OK");
    EXPECT_EQ(ok.style & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    ExpectPlace(ok, 185, 83, 50, 14);

    const Control& cancel = t.controls[1];
    EXPECT_EQ(cancel.id, IDCANCEL);
    EXPECT_EQ(cancel.text, Sj("キャンセル"));
    ExpectPlace(cancel, 242, 83, 50, 14);

    EXPECT_EQ(t.controls[2].windowClass, kStaticClass);
    EXPECT_EQ(t.controls[2].text, Sj("ゲームプロセスの優先度："));
    ExpectPlace(t.controls[2], 7, 47, 98, 11);

    const Control& list = t.controls[3];
    EXPECT_EQ(list.id, IDC_OPTIONS_PRIORITY);
    EXPECT_EQ(list.windowClass, kComboBoxClass);
    EXPECT_EQ(list.style & 0x3, static_cast<DWORD>(CBS_DROPDOWNLIST));
    EXPECT_NE(list.style & WS_VSCROLL, 0u);
    EXPECT_EQ(list.style & CBS_SORT, 0u);
    ExpectPlace(list, 7, 59, 118, 12);

    EXPECT_EQ(t.controls[4].text, Sj("ゲームインストール先フォルダ："));
    ExpectPlace(t.controls[4], 7, 7, 121, 10);

    const Control& box = t.controls[5];
    EXPECT_EQ(box.id, IDC_OPTIONS_GAME_FOLDER);
    EXPECT_EQ(box.windowClass, kEditClass);
    EXPECT_NE(box.style & ES_READONLY, 0u);
    EXPECT_NE(box.style & WS_BORDER, 0u);
    EXPECT_NE(box.style & ES_AUTOHSCROLL, 0u);
    ExpectPlace(box, 7, 20, 241, 12);

    const Control& browse = t.controls[6];
    EXPECT_EQ(browse.id, IDC_OPTIONS_BROWSE);
    EXPECT_EQ(browse.text, Sj("参照..."));
    ExpectPlace(browse, 251, 20, 41, 13);

    ExpectUniqueIds(t);
}

TEST(AboutTemplate, FrameAndControls) {
    const Template t = Load(IDD_ABOUTBOX);
    ExpectModalFrame(t, Sj("バージョン情報 koltSSel"), "MS UI Gothic", 9, 235, 84);

    ASSERT_EQ(t.controls.size(), 8u);
    const Control& icon = t.controls[0];
    // The resource compiler names the class for a CONTROL statement.
    EXPECT_TRUE(icon.IsIcon()) << icon.windowClass;
    EXPECT_EQ(icon.text, "#128");
    ExpectPlace(icon, 11, 17, 20, 20);

    const Control& ok = t.controls[1];
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_EQ(ok.style & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_NE(ok.style & WS_GROUP, 0u);
    EXPECT_NE(ok.style & WS_TABSTOP, 0u);
    ExpectPlace(ok, 178, 7, 50, 16);

    struct Box {
        int id;
        short x, y, cx, cy;
        bool multiLine;
    };
    const Box boxes[] = {
        {IDC_ABOUT_PRODUCT_NAME, 39, 22, 132, 12, false}, {IDC_ABOUT_PRODUCT_VERSION, 39, 35, 67, 12, false},
        {IDC_ABOUT_FILE_VERSION, 39, 50, 132, 12, false}, {IDC_ABOUT_COPYRIGHT, 39, 63, 132, 12, false},
        {IDC_ABOUT_DESCRIPTION, 39, 7, 132, 12, true},    {IDC_ABOUT_BUILD_KIND, 110, 36, 61, 12, false},
    };
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        const Control& c = t.controls[2 + i];
        EXPECT_EQ(c.id, boxes[i].id);
        EXPECT_EQ(c.windowClass, kEditClass);
        EXPECT_EQ(c.text, "");
        EXPECT_NE(c.style & ES_READONLY, 0u) << c.id;
        EXPECT_EQ(c.style & WS_BORDER, 0u) << c.id;
        EXPECT_NE(c.style & WS_TABSTOP, 0u) << c.id;
        EXPECT_NE(c.style & ES_AUTOHSCROLL, 0u) << c.id;
        EXPECT_EQ((c.style & ES_MULTILINE) != 0, boxes[i].multiLine) << c.id;
        ExpectPlace(c, boxes[i].x, boxes[i].y, boxes[i].cx, boxes[i].cy);
    }
    ExpectUniqueIds(t);
}

}  // namespace
}  // namespace kolt
