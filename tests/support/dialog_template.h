// Dialog templates read back from a module's resources, as the resource
// compiler wrote them (DLGTEMPLATEEX, the layout of DIALOGEX): the frame and
// every control in tab order. The one reader for the tests that check the
// templates and the tests that lay real dialogs against them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kolt::test {

struct DialogControl {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    int id = 0;
    std::string windowClass;  // CP932: a name, or "#<ordinal>"
    std::string text;         // CP932: a text, or "#<ordinal>"

    RECT Units() const { return {x, y, x + cx, y + cy}; }
    bool IsComboBox() const;
    bool IsIcon() const;  // a static control showing an icon
};

struct DialogTemplate {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::string menu, windowClass, caption, font;  // CP932; empty when the template has none
    WORD pointSize = 0;
    std::vector<DialogControl> controls;
};

inline constexpr const char* kButtonClass = "#128";
inline constexpr const char* kEditClass = "#129";
inline constexpr const char* kStaticClass = "#130";
inline constexpr const char* kComboBoxClass = "#133";

// Template `id` of `module` (this program when null). Throws
// std::runtime_error when there is none, it is not DIALOGEX, or it ends early.
DialogTemplate LoadDialogTemplate(UINT id, HMODULE module = nullptr);

}  // namespace kolt::test
