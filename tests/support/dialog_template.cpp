#include "support/dialog_template.h"

#include <cstring>
#include <stdexcept>

#include "base/cp932.h"

namespace kolt::test {
namespace {

class TemplateReader {
public:
    TemplateReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    DialogTemplate Read() {
        DialogTemplate t;
        if (Word() != 1 || Word() != 0xFFFF) throw std::runtime_error("not a DIALOGEX template");
        Dword();  // help id
        Dword();  // extended style
        t.style = Dword();
        const WORD count = Word();
        Short(), Short();
        t.cx = Short();
        t.cy = Short();
        t.menu = NameOrOrdinal();
        t.windowClass = NameOrOrdinal();
        t.caption = String();
        if (t.style & (DS_SETFONT | DS_SHELLFONT)) {
            t.pointSize = Word();
            Word(), Byte(), Byte();  // weight, italic, character set
            t.font = String();
        }
        for (WORD i = 0; i < count; ++i) {
            pos_ = (pos_ + 3) & ~std::size_t{3};
            DialogControl c;
            Dword(), Dword();  // help id, extended style
            c.style = Dword();
            c.x = Short(), c.y = Short(), c.cx = Short(), c.cy = Short();
            c.id = static_cast<int>(Dword());
            c.windowClass = NameOrOrdinal();
            c.text = NameOrOrdinal();
            const WORD creationData = Word();
            Need(creationData);
            pos_ += creationData;
            t.controls.push_back(std::move(c));
        }
        return t;
    }

private:
    void Need(std::size_t n) const {
        if (pos_ + n > size_) throw std::runtime_error("template ends early");
    }
    unsigned char Byte() { return Next<unsigned char>(); }
    template <class T>
    T Next() {
        Need(sizeof(T));
        T value;
        std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }
    WORD Word() { return Next<WORD>(); }
    short Short() { return Next<short>(); }
    DWORD Dword() { return Next<DWORD>(); }
    std::string String() {
        std::u16string s;
        for (WORD c; (c = Word()) != 0;)
            s += static_cast<char16_t>(c);
        return Utf16ToCp932(s);
    }
    std::string NameOrOrdinal() {
        Need(2);
        WORD first;
        std::memcpy(&first, data_ + pos_, 2);
        if (first == 0xFFFF) {
            pos_ += 2;
            return "#" + std::to_string(Word());
        }
        return String();
    }

    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace

bool DialogControl::IsComboBox() const {
    return windowClass == kComboBoxClass || EqualsNoCase(windowClass, "ComboBox");
}

bool DialogControl::IsIcon() const {
    // The resource compiler names the class for a CONTROL statement.
    return (windowClass == kStaticClass || EqualsNoCase(windowClass, "Static")) && (style & SS_TYPEMASK) == SS_ICON;
}

DialogTemplate LoadDialogTemplate(UINT id, HMODULE module) {
    if (!module) module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* data = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    if (!data) throw std::runtime_error("no dialog template " + std::to_string(id));
    return TemplateReader(data, SizeofResource(module, found)).Read();
}

}  // namespace kolt::test
