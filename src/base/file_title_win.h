// The platform's title of a file, as the common dialogs show it to a user:
// without its extension where the user has extensions hidden.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kolt {

// GetFileTitleW of `path` (CP932), from the system folder's comdlg32.dll,
// loaded at the first call and kept; nullopt when the DLL or the call fails
// (the platform refuses names with "*", "[" or "]", for one).
std::optional<std::string> PlatformFileTitle(std::string_view path);

}  // namespace kolt
