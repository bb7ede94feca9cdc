#include "win/message_map.h"

namespace kolt::win {

const MessageMap& EmptyMessageMap() {
    static constexpr MessageMap kMap{nullptr, {}};
    return kMap;
}

bool CommandTarget::ExecuteCommand(UINT id, UINT code) {
    return Offer(CommandMatch{id, code}, 0, 0).has_value();
}

bool CommandTarget::UpdateCommand(CommandUi& ui) {
    // An update handler never declines: the first one decides.
    return Offer(UpdateUiMatch{ui.id}, 0, reinterpret_cast<LPARAM>(&ui)).has_value();
}

bool CommandTarget::HasCommandHandler(UINT id) const {
    return FindEntry(CommandMatch{id, 0}) != nullptr;
}

}  // namespace kolt::win
