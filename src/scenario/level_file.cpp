#include "scenario/level_file.h"

#include <string>

#include "base/byte_reader.h"
#include "scenario/text_lines.h"

namespace kolt {

const char kLevelFileErrorText[] = "config.ini \x82\xAA\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1";

bool ReadLevelFile(bool& expertMode) {
    try {
        const auto file = OpenOrThrow("config.ini");
        ByteReader reader(*file, "config.ini", 4096);
        LineReader lines(reader);
        while (lines.NextLine()) {
            // "level=" is plain ASCII, so comparing its six bytes is the
            // multibyte-aware comparison as well; only the seventh byte counts.
            std::string head;
            lines.Take(head, 7);
            // The flag follows each matching line as it is read, so a read
            // error part-way keeps what the lines before it said.
            if (head.starts_with("level=")) expertMode = head.size() == 7 && head[6] == '1';
        }
        return true;
    } catch (const FileException&) {
        return false;
    }
}

}  // namespace kolt
