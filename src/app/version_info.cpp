#include "app/version_info.h"

#include <cstring>
#include <cwchar>

#include "base/system_library_win.h"
#include "base/text_win.h"

namespace kolt {
namespace {

// The three version functions, from the one copy of version.dll loaded for
// the process; all null when it could not be loaded.
struct VersionFunctions {
    decltype(&GetFileVersionInfoSizeW) size = nullptr;
    decltype(&GetFileVersionInfoW) read = nullptr;
    decltype(&VerQueryValueW) query = nullptr;
};

const VersionFunctions& Version() {
    static const VersionFunctions functions = [] {
        VersionFunctions f;
        // Never freed: the functions are used until the program ends.
        const HMODULE module = LoadSystemLibrary(L"version.dll");
        if (!module) return f;
        f.size = FindFunction<decltype(f.size)>(module, "GetFileVersionInfoSizeW");
        f.read = FindFunction<decltype(f.read)>(module, "GetFileVersionInfoW");
        f.query = FindFunction<decltype(f.query)>(module, "VerQueryValueW");
        if (!f.size || !f.read || !f.query) f = VersionFunctions{};
        return f;
    }();
    return functions;
}

}  // namespace

bool LoadVersionLibrary() {
    return Version().size != nullptr;
}

// The program's own record is read from the running file itself rather than
// from "<base name>.EXE" looked up along the module search path, which could
// find another file when the program has been renamed.
CVersionInfo::CVersionInfo() {
    Open(ModulePath());
}

CVersionInfo::CVersionInfo(std::string_view moduleFile) {
    Open(Wide(moduleFile));
}

void CVersionInfo::Open(const std::wstring& file) {
    // Without the version functions no record can be read: the same as a
    // file without one.
    const VersionFunctions& version = Version();
    DWORD ignored = 0;
    const DWORD size = file.empty() || !version.size ? 0 : version.size(file.c_str(), &ignored);
    if (size == 0) throw VersionInfoError("Versioninfo not found");

    record_.assign(size, 0);
    if (!version.read(file.c_str(), 0, size, record_.data())) throw VersionInfoError("GetFileVersionInfo Error");

    void* entry = nullptr;
    UINT length = 0;
    if (!version.query(record_.data(), L"\\VarFileInfo\\Translation", &entry, &length) || entry == nullptr ||
        length < 2 * sizeof(WORD)) {
        throw VersionInfoError("GetFileVersionInfo Error");
    }
    WORD pair[2];
    std::memcpy(pair, entry, sizeof pair);
    translation_ = {pair[0], pair[1]};
}

bool CVersionInfo::Query(version::Translation t, std::string_view name, std::string& value) const {
    const std::wstring path = Wide(version::StringValuePath(t, name));
    void* text = nullptr;
    UINT length = 0;  // in characters, the terminating NUL usually included
    if (!Version().query(const_cast<unsigned char*>(record_.data()), path.c_str(), &text, &length)) return false;
    // A value that is present but empty is found, and found empty.
    const auto* chars = static_cast<const wchar_t*>(text);
    value = chars == nullptr ? std::string() : Narrow(std::wstring_view(chars, wcsnlen(chars, length)));
    return true;
}

std::string CVersionInfo::GetVersionValue(std::string_view name) const {
    std::string value;
    if (Query(translation_, name, value)) return value;
    for (std::size_t i = 0; i < version::kFallbackCount; ++i) {
        if (Query(version::FallbackTranslation(i), name, value)) return value;
    }
    return {};
}

const VS_FIXEDFILEINFO& CVersionInfo::GetFixedInfo() const {
    void* fixed = nullptr;
    UINT length = 0;
    // A root block without a value reports success with length 0: that is no
    // fixed part either.
    if (!Version().query(const_cast<unsigned char*>(record_.data()), L"\\", &fixed, &length) || fixed == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        throw VersionInfoError("Error GetFixesInfo - API VerQueryValue");
    }
    return *static_cast<const VS_FIXEDFILEINFO*>(fixed);
}

}  // namespace kolt
