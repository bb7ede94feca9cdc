// The game's level setting: the "level=" line of its config.ini, which decides
// which clear score the form shows and its mode text.
#pragma once

namespace kolt {

// Reads "config.ini" in the working directory (the game folder). On success
// sets `expertMode` from the last line that begins with exactly "level="
// (its seventh character "1" means the harder level; anything else, or
// nothing, the normal one), leaves it unchanged when no line matches, and
// returns true. Returns false when the file cannot be opened or read; the
// caller then shows kLevelFileErrorText with the exclamation icon.
bool ReadLevelFile(bool& expertMode);

// "config.ini が読めません" in CP932.
extern const char kLevelFileErrorText[];

}  // namespace kolt
