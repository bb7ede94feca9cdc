#include "scenario/stage_record.h"

#include <algorithm>
#include <limits>

#include "base/byte_reader.h"
#include "base/cp932.h"
#include "scenario/text_lines.h"

namespace kolt {
namespace {

constexpr std::string_view kHighScoreKey = "highscore=";
constexpr std::string_view kExeKey = "exe=";

// The rest of a "highscore=" line as a decimal integer, read in place:
// leading white space, an optional sign, then digits up to the first other
// byte; no digits give 0. A value beyond the 32-bit range is clamped rather
// than wrapped, so a corrupt file never shows a score with the wrong sign.
std::int32_t ReadScore(LineReader& line) {
    int c = line.Get();
    while (c == ' ' || (c >= '\t' && c <= '\r'))
        c = line.Get();
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = line.Get();
    }
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (; c >= '0' && c <= '9'; c = line.Get())
        if (value < limit) value = std::min<std::int64_t>(limit, value * 10 + (c - '0'));
    return static_cast<std::int32_t>(negative ? -value : value);
}

// "%1 の実行コマンドが長すぎます。" in CP932, shorter than 1024 bytes like
// every file-error text. A path from a scenario file is at most 41 bytes;
// a longer one is cut at a character boundary.
std::string DescribeOverlongCommand(std::string_view path) {
    return ShortenText(path, kMessagePathBytes) +
           " \x82\xCC\x8E\xC0\x8D\x73\x83\x52\x83\x7D\x83\x93\x83\x68\x82\xAA\x92\xB7\x82\xB7\x82\xAC\x82\xDC\x82\xB7"
           "\x81\x42";
}

}  // namespace

std::string StageIniPath(std::string_view stageName) {
    std::string name(stageName);
    // "Alpha Night B" shares the stage ini of "Alpha Night". Only a single
    // byte after the space is dropped: no second byte of a double-byte
    // character can be a space.
    if (name.size() >= 2 && name[name.size() - 2] == ' ') name.resize(name.size() - 2);
    for (char& c : name)
        if (c == ' ') c = '\\';
    return "stage\\" + name + ".ini";
}

StageRecord ReadStageRecord(std::string_view stageName, std::string_view scenarioArguments) {
    StageRecord record;
    record.highScore = 0;
    const std::string path = StageIniPath(stageName);
    try {
        const auto file = OpenOrThrow(path);
        ByteReader reader(*file, path, 4096);
        LineReader line(reader);
        while (line.NextLine()) {
            std::string head;
            line.Take(head, kHighScoreKey.size());
            if (head == kHighScoreKey) {
                record.highScore = ReadScore(line);
            } else if (head.starts_with(kExeKey)) {
                std::string value = head.substr(kExeKey.size());
                line.Take(value, kMaxCommandValue - value.size());
                if (!line.AtLineEnd()) {
                    // Cutting the value would run a different command: this
                    // line gives none, and says why. A later "exe=" line
                    // still wins; the rest of this one is skipped in place.
                    record.commandLine.clear();
                    record.errorText = DescribeOverlongCommand(path);
                    continue;
                }
                record.commandLine = value + ' ';
                record.commandLine += scenarioArguments;
                record.errorText.clear();
            }
        }
        record.succeeded = true;
    } catch (const FileException& e) {
        record.highScore = -1;
        record.succeeded = false;
        record.errorText = DescribeFileError(e.error());
    }
    return record;
}

}  // namespace kolt
