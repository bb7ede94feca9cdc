// The settings file in the platform's INI text form, read and edited the way
// the system's own profile functions do it, so that a file a user or another
// tool wrote is understood the same way and every byte we do not own survives
// a write: other sections, keys, comments, blank lines, unknown lines, their
// order and their line endings.
//
// A file that begins with a UTF-16LE byte-order mark is UTF-16 text and is
// edited as such; any other file is CP932 bytes. Names and values at this
// interface are CP932.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolt {

class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string bytes);

    // The value of the first matching key in the first section of that name
    // (names match without regard to ASCII case), trimmed and with one pair of
    // enclosing quotes removed; nullopt when the section or key is missing.
    std::optional<std::string> GetString(std::string_view section, std::string_view key) const;
    // The value read as an integer: optional sign, decimal digits (or "0x" and
    // hex digits) up to the first other character, wrapping to 32 bits; no
    // digits give 0; a missing key or an empty value gives `fallback`.
    std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t fallback) const;

    // Replaces the value of an existing key (its line keeps the key's
    // spelling and ends in CR LF), or inserts the key after the last key line
    // of its section, or appends the section at the end.
    void SetString(std::string_view section, std::string_view key, std::string_view value);

    // The file's bytes as they now stand.
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
    bool utf16_ = false;
};

// Parses a GetInt-style integer from an already trimmed value.
std::int32_t ParseProfileInt(std::string_view value);

}  // namespace kolt
