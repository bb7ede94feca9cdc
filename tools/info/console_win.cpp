// Windows edge of the inspector: wide arguments, and Unicode on a console
// (WriteConsoleW) or UTF-8 bytes into a pipe or file, whatever the console's
// code page.
#include <windows.h>

#include "base/cp932.h"
#include "base/text_win.h"
#include "console.h"

namespace kolt::info {
namespace {

void Write(DWORD which, std::string_view utf8) {
    const HANDLE out = GetStdHandle(which);  // not owned
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        const std::wstring wide = WideFromUtf8(utf8);
        const wchar_t* p = wide.data();
        std::size_t left = wide.size();
        while (left > 0) {
            // Consoles take limited writes; 8192 characters is safe everywhere.
            const DWORD chunk = static_cast<DWORD>(left < 8192 ? left : 8192);
            DWORD written = 0;
            if (!WriteConsoleW(out, p, chunk, &written, nullptr) || written == 0) return;
            p += written;
            left -= written;
        }
        return;
    }
    while (!utf8.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(utf8.size() < 0x10000 ? utf8.size() : 0x10000);
        if (!WriteFile(out, utf8.data(), chunk, &written, nullptr) || written == 0) return;
        utf8.remove_prefix(written);
    }
}

}  // namespace

void WriteOut(std::string_view utf8) {
    Write(STD_OUTPUT_HANDLE, utf8);
}
void WriteErr(std::string_view utf8) {
    Write(STD_ERROR_HANDLE, utf8);
}

bool SetWorkingDirectory(const std::string& utf8Path) {
    return SetCurrentDirectoryW(WideFromUtf8(utf8Path).c_str()) != 0;
}

}  // namespace kolt::info

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(kolt::Utf8FromWide(argv[i]));
    }
    return kolt::info::Run(args);
}
