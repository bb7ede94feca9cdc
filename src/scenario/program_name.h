// The 8-byte program-name field of a scenario file (offset 76): read by the
// scenario reader, shown nowhere, and turned into the process name that a
// launch watches for.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kolt {

using ProgramName = std::array<char, 8>;

// The name as text: its bytes up to the first NUL, all 8 without one.
inline std::string ProgramNameText(const ProgramName& name) {
    const std::string_view bytes(name.data(), name.size());
    return std::string(bytes.substr(0, bytes.find('\0')));
}

}  // namespace kolt
