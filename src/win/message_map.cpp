#include "win/message_map.h"

namespace kolt::win {

const MessageMap& EmptyMessageMap() {
    static constexpr MessageMap kMap{nullptr, {}};
    return kMap;
}

bool CommandTarget::ExecuteCommand(UINT id, UINT code) {
    // A handler may decline (nullopt); the search then goes on to the base tables.
    for (const MessageMap* map = &GetMessageMap(); map; map = map->base ? &map->base() : nullptr) {
        for (const MessageEntry& e : map->entries) {
            if (e.kind == MessageEntry::Kind::Command && e.id == id && e.code == code && e.invoke(*this, 0, 0))
                return true;
        }
    }
    return false;
}

bool CommandTarget::UpdateCommand(CommandUi& ui) {
    const MessageEntry* entry =
        FindEntry([&](const MessageEntry& e) { return e.kind == MessageEntry::Kind::UpdateUi && e.id == ui.id; });
    if (!entry) return false;
    entry->invoke(*this, 0, reinterpret_cast<LPARAM>(&ui));
    return true;
}

bool CommandTarget::HasCommandHandler(UINT id) const {
    return FindEntry([&](const MessageEntry& e) {
               return e.kind == MessageEntry::Kind::Command && e.id == id && e.code == 0;
           }) != nullptr;
}

}  // namespace kolt::win
