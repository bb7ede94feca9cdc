// Per-class message tables. Each class that handles messages lists them in a
// static table of entries that point at its On... members, and chains the
// table to its base class's; the window procedure looks a message up along
// that chain, the most derived class first. A handler returns its result, or
// std::nullopt for "not handled", which lets the search go on to the base
// tables and finally to the default procedure.
//
//   const MessageMap& CMainFrame::Messages() {
//       static constexpr MessageEntry kEntries[] = {
//           OnMessage<&CMainFrame::OnSelectScenario>(WM_SELECT_SCENARIO),
//           OnCommand<&CMainFrame::OnRefreshCatalogue>(ID_REFRESH_CATALOGUE),
//       };
//       static constexpr MessageMap kMap{&FrameWindow::Messages, kEntries};
//       return kMap;
//   }
//
// Handler forms, by entry kind:
//   OnMessage         Result  (T::*)(WPARAM, LPARAM)
//   OnCommand         void or Result (T::*)()          {command or control id, notification code}
//   OnReflectedNotify Result  (T::*)(NMHDR&)           a control's own notification, sent back to it
//   OnUpdateUi        void    (T::*)(CommandUi&)       command-UI state of a command id
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <type_traits>

namespace kolt::win {

using Result = std::optional<LRESULT>;

class CommandTarget;

// The state a command's user interface (menu item, toolbar button, status
// pane) should show, collected from the handlers along the command route.
struct CommandUi {
    UINT id = 0;
    std::optional<bool> enabled;  // nullopt: no update handler said; see ResolveCommandUi
    std::optional<bool> checked;  // nullopt: no update handler said

    void Enable(bool on = true) { enabled = on; }
    void SetCheck(bool on) { checked = on; }
};

struct MessageEntry {
    enum class Kind : unsigned char { Message, Command, ReflectedNotify, UpdateUi };
    Kind kind;
    UINT message;  // Message: the message; otherwise unused
    UINT id;       // Command, UpdateUi: command or control id
    UINT code;     // Command, ReflectedNotify: notification code
    // For UpdateUi the CommandUi travels in lParam; for ReflectedNotify the NMHDR.
    Result (*invoke)(CommandTarget& target, WPARAM wParam, LPARAM lParam);
};

struct MessageMap {
    const MessageMap& (*base)();  // null for the root of a chain
    std::span<const MessageEntry> entries;
};

// The root of every chain: it handles nothing.
const MessageMap& EmptyMessageMap();

class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    static const MessageMap& Messages() { return EmptyMessageMap(); }
    virtual const MessageMap& GetMessageMap() const { return Messages(); }

    // The one walk of the tables: the first entry for which `visit` returns
    // true, searching the class chain from the most derived table; null if none.
    template <class Visit>
    const MessageEntry* FindEntry(Visit visit) const {
        for (const MessageMap* map = &GetMessageMap(); map; map = map->base ? &map->base() : nullptr) {
            for (const MessageEntry& e : map->entries)
                if (visit(e)) return &e;
        }
        return nullptr;
    }
    // Hands a message, a command or an update to the entries that `match`
    // takes, along the same walk, until one gives a result; a handler that
    // declines (nullopt) lets the search go on to the next entry and the base
    // tables. Nothing when none gave one.
    template <class Match>
    Result Offer(Match match, WPARAM wParam, LPARAM lParam) {
        Result result;
        FindEntry([&](const MessageEntry& e) { return match(e) && (result = e.invoke(*this, wParam, lParam)); });
        return result;
    }

    // Runs the handler of command `id` (menu, accelerator or control
    // notification `code`) if this object has one.
    bool ExecuteCommand(UINT id, UINT code);
    // Runs this object's update handler for `ui.id`; false if it has none.
    bool UpdateCommand(CommandUi& ui);
    bool HasCommandHandler(UINT id) const;
};

// What each kind of entry answers to.
struct MessageMatch {
    UINT message;
    bool operator()(const MessageEntry& e) const {
        return e.kind == MessageEntry::Kind::Message && e.message == message;
    }
};
struct CommandMatch {
    UINT id;
    UINT code;
    bool operator()(const MessageEntry& e) const {
        return e.kind == MessageEntry::Kind::Command && e.id == id && e.code == code;
    }
};
struct ReflectedNotifyMatch {
    UINT code;
    bool operator()(const MessageEntry& e) const {
        return e.kind == MessageEntry::Kind::ReflectedNotify && e.code == code;
    }
};
struct UpdateUiMatch {
    UINT id;
    bool operator()(const MessageEntry& e) const { return e.kind == MessageEntry::Kind::UpdateUi && e.id == id; }
};

namespace detail {

template <class>
struct MemberOf;
template <class R, class C, class... A>
struct MemberOf<R (C::*)(A...)> {
    using Class = C;
    using Return = R;
};

template <auto Handler>
using HandlerClass = typename MemberOf<decltype(Handler)>::Class;

template <auto Handler>
Result InvokeMessage(CommandTarget& target, WPARAM wParam, LPARAM lParam) {
    auto& self = static_cast<HandlerClass<Handler>&>(target);
    return (self.*Handler)(wParam, lParam);
}

template <auto Handler>
Result InvokeCommand(CommandTarget& target, WPARAM, LPARAM) {
    auto& self = static_cast<HandlerClass<Handler>&>(target);
    if constexpr (std::is_void_v<typename MemberOf<decltype(Handler)>::Return>) {
        (self.*Handler)();
        return 0;
    } else {
        return (self.*Handler)();
    }
}

template <auto Handler>
Result InvokeNotify(CommandTarget& target, WPARAM, LPARAM lParam) {
    auto& self = static_cast<HandlerClass<Handler>&>(target);
    return (self.*Handler)(*reinterpret_cast<NMHDR*>(lParam));
}

template <auto Handler>
Result InvokeUpdateUi(CommandTarget& target, WPARAM, LPARAM lParam) {
    auto& self = static_cast<HandlerClass<Handler>&>(target);
    (self.*Handler)(*reinterpret_cast<CommandUi*>(lParam));
    return 0;
}

}  // namespace detail

template <auto Handler>
constexpr MessageEntry OnMessage(UINT message) {
    return {MessageEntry::Kind::Message, message, 0, 0, &detail::InvokeMessage<Handler>};
}

// A menu item, accelerator or toolbar button sends code 0, as does a button's
// click (BN_CLICKED).
template <auto Handler>
constexpr MessageEntry OnCommand(UINT id, UINT code = 0) {
    return {MessageEntry::Kind::Command, WM_COMMAND, id, code, &detail::InvokeCommand<Handler>};
}

template <auto Handler>
constexpr MessageEntry OnReflectedNotify(UINT code) {
    return {MessageEntry::Kind::ReflectedNotify, WM_NOTIFY, 0, code, &detail::InvokeNotify<Handler>};
}

template <auto Handler>
constexpr MessageEntry OnUpdateUi(UINT id) {
    return {MessageEntry::Kind::UpdateUi, 0, id, 0, &detail::InvokeUpdateUi<Handler>};
}

}  // namespace kolt::win
