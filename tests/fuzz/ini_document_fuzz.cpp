// Fuzzes the settings file's editor as the program uses it on a file anyone
// can write: both keys read, set, read back as the platform reads them, and
// set again, which must not change a byte (so an unchanged file is never
// written). Any bytes, CP932 or UTF-16 with its byte-order mark.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/ini_profile.h"

using namespace kolt;

namespace {

// What the platform's reader gives for a value written as `value`: blanks
// trimmed at both ends, then one pair of enclosing quotes removed.
std::string AsThePlatformReads(std::string_view value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v'; };
    while (!value.empty() && blank(value.front()))
        value.remove_prefix(1);
    while (!value.empty() && blank(value.back()))
        value.remove_suffix(1);
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    IniDocument doc(bytes);
    // As the program reads them at start-up and writes them at exit.
    const std::string priority = std::to_string(doc.GetInt("Option", "GamePriority", 32));
    const std::string folder = doc.GetString("Option", "GameFolder").value_or(std::string());
    doc.SetString("Option", "GamePriority", priority);
    doc.SetString("Option", "GameFolder", folder);
    if (doc.GetString("option", "gamepriority") != priority) std::abort();
    // A UTF-16 file holds what CP932 cannot; a value read from it converts back unchanged.
    if (doc.GetString("OPTION", "GameFolder") != AsThePlatformReads(folder)) std::abort();
    const std::string once = doc.bytes();
    doc.SetString("Option", "GamePriority", priority);
    doc.SetString("Option", "GameFolder", folder);
    if (doc.bytes() != once) std::abort();
    return 0;
}
