// What the inspector needs of its platform: writing UTF-8 text to the
// console or a pipe, and making a folder the working directory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kolt::info {

// Writes UTF-8 text to standard output or standard error. A Windows console
// gets it as Unicode; a pipe or file gets the UTF-8 bytes.
void WriteOut(std::string_view utf8);
void WriteErr(std::string_view utf8);

// Makes a folder (UTF-8 path in the platform's own form) the working
// directory; false when it does not exist or cannot be entered.
bool SetWorkingDirectory(const std::string& utf8Path);

// The inspector itself: arguments as UTF-8, the exit code as result.
int Run(const std::vector<std::string>& args);

}  // namespace kolt::info
