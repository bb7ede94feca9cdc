// CVersionInfo reads the version record of a module file through the wide
// version functions and hands its texts back as CP932. A text is looked up
// for the record's first translation and then through the fixed fallback
// order of version_info_order.h.
//
// The version functions live in version.dll, which is not one of the system's
// KnownDLLs: imported by name it would be looked for in the program's folder
// first. It is loaded by its full path in the system folder instead, once, and
// kept for the life of the process.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/version_info_order.h"

namespace kolt {

// Every failure of the reader carries one of three fixed texts; callers catch
// the type as a group and never show the text to the user.
class VersionInfoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Loads version.dll from the system folder, if that has not been done yet;
// false when it cannot be loaded (every record then reads as missing). The
// program calls it at start-up, before its first window.
bool LoadVersionLibrary();

class CVersionInfo {
public:
    // The program's own file.
    CVersionInfo();
    // `moduleFile` is CP932, absolute or as the module search finds it.
    explicit CVersionInfo(std::string_view moduleFile);
    virtual ~CVersionInfo() = default;
    CVersionInfo(const CVersionInfo&) = delete;
    CVersionInfo& operator=(const CVersionInfo&) = delete;

    // The value's text (CP932), or an empty text when no translation has it.
    std::string GetVersionValue(std::string_view name) const;
    // The fixed part; throws when the record has none.
    const VS_FIXEDFILEINFO& GetFixedInfo() const;

    // The first entry of the record's translation list.
    version::Translation translation() const { return translation_; }

private:
    void Open(const std::wstring& file);
    bool Query(version::Translation t, std::string_view name, std::string& value) const;

    std::vector<unsigned char> record_;  // the whole record as GetFileVersionInfoW wrote it
    version::Translation translation_;
};

}  // namespace kolt
