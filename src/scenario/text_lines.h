// Line-by-line reading of the game's small text files (config.ini, the stage
// inis) in memory that does not grow with the file or with a line: a caller
// takes only the bytes of a line it needs and the rest is skipped in place.
//
// A line ends at a line feed; a carriage return directly before the line
// feed is not part of the line. A last line without a line feed still counts,
// an empty file has no lines.
#pragma once

#include <cstddef>
#include <string>

#include "base/byte_reader.h"

namespace kolt {

class LineReader {
public:
    // `reader` must outlive the line reader; read errors surface as the
    // reader's FileException.
    explicit LineReader(ByteReader& reader) : reader_(reader) {}

    // Skips what is left of the current line and starts the next one; false
    // when the file has no further bytes.
    bool NextLine();
    // The next byte of the current line, or -1 at its end.
    int Get();
    // Appends up to `max` further bytes of the current line to `out`;
    // returns how many were appended.
    std::size_t Take(std::string& out, std::size_t max);
    // True when the current line has no bytes left.
    bool AtLineEnd();

private:
    ByteReader& reader_;
    bool started_ = false;
    bool ended_ = false;  // the current line's ending (or the file's end) has been consumed
};

}  // namespace kolt
