// Linux edge of the inspector: arguments and output are UTF-8 already.
#include <unistd.h>

#include "console.h"

namespace kolt::info {
namespace {

void WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n <= 0) return;  // a closed pipe: nobody is reading any more
        text.remove_prefix(static_cast<std::size_t>(n));
    }
}

}  // namespace

void WriteOut(std::string_view utf8) {
    WriteAll(1, utf8);
}
void WriteErr(std::string_view utf8) {
    WriteAll(2, utf8);
}
bool SetWorkingDirectory(const std::string& utf8Path) {
    return ::chdir(utf8Path.c_str()) == 0;
}

}  // namespace kolt::info

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return kolt::info::Run(args);
}
