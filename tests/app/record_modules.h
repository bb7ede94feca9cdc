// The modules that carry nothing but a version record (records/*.rc), built
// beside the tests of the version reader and the About box, and the texts the
// program's own record derives from the version the build passes
// (KOLT_VERSION_MAJOR ... _TWEAK, from project()).
#pragma once

#include <string>

#include "base/text_win.h"

namespace kolt::test {

// The CP932 path of record module `name` ("debug_build.dll", ...).
inline std::string RecordModule(const char* name) {
    const std::wstring self = ModulePath();
    return Narrow(self.substr(0, self.find_last_of(L'\\') + 1)) + name;
}

// "major, minor, patch, tweak".
inline std::string BuildFileVersion() {
    return std::to_string(KOLT_VERSION_MAJOR) + ", " + std::to_string(KOLT_VERSION_MINOR) + ", " +
           std::to_string(KOLT_VERSION_PATCH) + ", " + std::to_string(KOLT_VERSION_TWEAK);
}
// "major.minor" with the minor number in two digits.
inline std::string BuildProductVersion() {
    return std::to_string(KOLT_VERSION_MAJOR) + (KOLT_VERSION_MINOR < 10 ? ".0" : ".") +
           std::to_string(KOLT_VERSION_MINOR);
}

}  // namespace kolt::test
