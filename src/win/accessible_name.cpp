#include "win/accessible_name.h"

#include <oleacc.h>

#include <climits>
#include <iterator>
#include <new>
#include <utility>

#include "base/owners_win.h"
#include "base/system_library_win.h"

namespace kolt::win {
namespace {

// What a named control needs to answer, loaded on the first request and kept
// for the life of the process (the objects made may outlive any window of
// ours), so that nobody pays for it who never asks. oleacc.dll is not among
// the system's KnownDLLs, so it is never imported but comes from the system
// folder; the strings handed out are the system's (oleaut32).
struct Accessibility {
    decltype(&::CreateStdAccessibleObject) createStandard = nullptr;
    decltype(&::LresultFromObject) resultFromObject = nullptr;
    decltype(&::SysAllocStringLen) allocString = nullptr;
    decltype(&::SysFreeString) freeString = nullptr;

    static const Accessibility& Get() {
        static const Accessibility loaded = [] {
            Accessibility a;
            if (HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll")) {
                a.createStandard = FindFunction<decltype(createStandard)>(oleacc, "CreateStdAccessibleObject");
                a.resultFromObject = FindFunction<decltype(resultFromObject)>(oleacc, "LresultFromObject");
            }
            if (HMODULE oleaut = LoadSystemLibrary(L"oleaut32.dll")) {
                a.allocString = FindFunction<decltype(allocString)>(oleaut, "SysAllocStringLen");
                a.freeString = FindFunction<decltype(freeString)>(oleaut, "SysFreeString");
            }
            return a;
        }();
        return loaded;
    }
    bool complete() const { return createStandard && resultFromObject && allocString && freeString; }
};

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's accessible object for a control with the name taken from its
// label. It lives as long as its last user holds it, which may be another
// process; it keeps only the label's handle, so a label gone by then gives an
// empty name.
class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(ComInterface<IAccessible> standard, HWND label) : standard_(std::move(standard)), label_(label) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // The window it stands for and the enumeration of its children are
        // the system object's.
        if (iid == __uuidof(IOleWindow) || iid == __uuidof(IEnumVARIANT)) return standard_->QueryInterface(iid, out);
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    // A late-bound caller asking for the name gets ours too: the type
    // description calls back into this object's own table.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override {
        ITypeInfo* raw = nullptr;
        if (FAILED(standard_->GetTypeInfo(0, locale, &raw)) || !raw)
            return standard_->Invoke(id, iid, locale, flags, params, result, exception, badArgument);
        ComInterface<ITypeInfo> info(raw);
        return info->Invoke(static_cast<IAccessible*>(this), id, flags, params, result, exception, badArgument);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child)) return standard_->get_accName(child, name);
        if (!name) return E_POINTER;
        *name = nullptr;
        const int length = label_ ? GetWindowTextLengthW(label_) : 0;
        if (length <= 0) return S_FALSE;                     // no name
        const Accessibility& system = Accessibility::Get();  // loaded: this object exists
        BSTR text = system.allocString(nullptr, static_cast<UINT>(length));
        if (!text) return E_OUTOFMEMORY;
        const int copied = GetWindowTextW(label_, text, length + 1);
        if (copied <= 0) {
            system.freeString(text);
            return S_FALSE;
        }
        if (copied < length) {  // the length asked first may be larger than the text
            BSTR exact = system.allocString(text, static_cast<UINT>(copied));
            system.freeString(text);
            if (!exact) return E_OUTOFMEMORY;
            text = exact;
        }
        *name = text;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return standard_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~NamedAccessible() = default;  // only through Release

    ComInterface<IAccessible> standard_;
    HWND label_;
    LONG references_ = 1;  // the creator's
};

// What a named control answers to WM_GETOBJECT for its client area; 0 (the
// system makes its own object, with its own name) when any step fails.
LRESULT AnswerNamed(HWND control, WPARAM flags, HWND label) {
    const Accessibility& system = Accessibility::Get();
    if (!system.complete()) return 0;
    IAccessible* raw = nullptr;
    if (FAILED(system.createStandard(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&raw))) ||
        !raw)
        return 0;
    ComInterface<IAccessible> standard(raw);
    auto* named = new (std::nothrow) NamedAccessible(std::move(standard), label);
    if (!named) return 0;
    ComInterface<IAccessible> ours(named);
    // The result holds its own reference until the asker takes the object;
    // ours goes here, so the asker's is the last.
    const LRESULT result = system.resultFromObject(__uuidof(IAccessible), flags, named);
    return result > 0 ? result : 0;
}

bool IsStaticControl(HWND window) {
    wchar_t name[8] = {};
    const int length = GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return length == 6 && CompareStringOrdinal(name, length, L"Static", 6, TRUE) == CSTR_EQUAL;
}

// The static control labelling `control` on its row (see NamedByRowLabel).
HWND LabelOnRow(HWND control) {
    RECT own{};
    if (!GetWindowRect(control, &own)) return nullptr;
    HWND nearest = nullptr;
    LONG nearestLeft = LONG_MIN;
    for (HWND sibling = GetWindow(control, GW_HWNDFIRST); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        RECT r{};
        if (sibling == control || !GetWindowRect(sibling, &r)) continue;
        const LONG middle = r.top + (r.bottom - r.top) / 2;
        if (r.left < own.left && r.left > nearestLeft && middle >= own.top && middle < own.bottom) {
            nearest = sibling;
            nearestLeft = r.left;
        }
    }
    return nearest && IsStaticControl(nearest) ? nearest : nullptr;
}

}  // namespace

const MessageMap& NamedByRowLabel::Messages() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&NamedByRowLabel::OnGetObject>(WM_GETOBJECT),
    };
    static constexpr MessageMap kMap{&Window::Messages, kEntries};
    return kMap;
}

Result NamedByRowLabel::OnGetObject(WPARAM flags, LPARAM objectId) {
    // The object id travels as a 32-bit value; any other object is the control's.
    if (static_cast<DWORD>(objectId) != static_cast<DWORD>(OBJID_CLIENT)) return std::nullopt;
    // Deciding asks the window manager for every sibling's place, which a
    // start that nobody listens to need not pay for.
    if (!decided_) {
        label_ = LabelOnRow(hwnd());
        decided_ = true;
    }
    if (LRESULT result = AnswerNamed(hwnd(), flags, label_)) return result;
    return std::nullopt;  // the system's own object, with its own name
}

}  // namespace kolt::win
