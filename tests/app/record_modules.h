// The modules that carry nothing but a version record (records/*.rc), built
// beside the tests of the version reader and the About box.
#pragma once

#include <string>

#include "base/text_win.h"

namespace kolt::test {

// The CP932 path of record module `name` ("debug_build.dll", ...).
inline std::string RecordModule(const char* name) {
    const std::wstring self = ModulePath();
    return Narrow(self.substr(0, self.find_last_of(L'\\') + 1)) + name;
}

}  // namespace kolt::test
