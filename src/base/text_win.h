// The edge between the program's CP932 text and the wide Win32 functions.
// Text for the screen may lose a character CP932 has no form for ('?' takes
// its place); a name that would be stored or entered must not, so it is
// refused instead (NarrowExact).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kolt {

// CP932 -> UTF-16; a byte sequence that is not CP932 becomes U+FFFD.
std::wstring Wide(std::string_view cp932);
// UTF-16 -> CP932 for display: characters without a CP932 form become '?'.
std::string Narrow(std::wstring_view wide);
// UTF-16 -> CP932 for a path or name that will be kept or used again;
// nullopt when some character has no CP932 form.
std::optional<std::string> NarrowExact(std::wstring_view wide);

// The system's description of error code `error`, without the line break it
// ends with; "(code)" when the system has none.
std::wstring SystemErrorText(unsigned long error);

// The full path of this program's file, however long; empty if it cannot be had.
std::wstring ModulePath();

}  // namespace kolt
