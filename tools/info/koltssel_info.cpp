// koltssel-info: the game's catalogue and scenario particulars on the
// command line, read exactly as the selector reads them, for players who want
// to compare scenarios at a glance and for tests.
#include <algorithm>
#include <cstdio>
#include <optional>

#include "base/byte_reader.h"
#include "base/cp932.h"
#include "catalogue/catalogue_scan.h"
#include "console.h"
#include "scenario/level_file.h"
#include "scenario/scenario_reader.h"
#ifdef _WIN32
#include "base/file_title_win.h"
#endif

namespace kolt::info {
namespace {

// The title in a scenario's arguments, as the selector takes it.
#ifdef _WIN32
constexpr FileTitleFunction kFileTitle = &PlatformFileTitle;
#else
constexpr FileTitleFunction kFileTitle = &BareFileName;
#endif

constexpr std::string_view kUsage =
    "usage: koltssel-info list  [--game DIR]\n"
    "       koltssel-info show  [--game DIR] [--json] SCENARIO_PATH...\n"
    "       koltssel-info table [--game DIR] [--csv]\n"
    "\n"
    "  list    the ports and their scenario files, in the order the selector shows them\n"
    "  show    the particulars of scenarios, as the selector's form shows them;\n"
    "          SCENARIO_PATH is the selector's own form, e.g. port\\Alpha\\scenario\\b01.sd3\n"
    "          --json: one JSON object per scenario and line\n"
    "  table   one line per scenario of the whole catalogue; --csv: comma-separated\n"
    "          (the stars column then holds their number)\n"
    "\n"
    "DIR is the game folder (default: the current folder). The clear score follows the\n"
    "level in the game's config.ini, as in the selector.\n";

struct Options {
    std::string command;
    std::string gameDir;
    bool json = false;
    bool csv = false;
    std::vector<std::string> paths;  // CP932
};

std::string Utf8(std::string_view cp932) {
    return Cp932ToUtf8(cp932);
}

void Error(std::string_view utf8) {
    WriteErr("koltssel-info: ");
    WriteErr(utf8);
    WriteErr("\n");
}

// Parses the arguments; nullopt after printing what is wrong.
std::optional<Options> Parse(const std::vector<std::string>& args) {
    Options o;
    if (args.empty()) return std::nullopt;
    o.command = args[0];
    if (o.command != "list" && o.command != "show" && o.command != "table") {
        Error("unknown command: " + o.command);
        return std::nullopt;
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--game") {
            if (++i == args.size()) {
                Error("--game needs a folder");
                return std::nullopt;
            }
            o.gameDir = args[i];
        } else if (a == "--json" && o.command == "show") {
            o.json = true;
        } else if (a == "--csv" && o.command == "table") {
            o.csv = true;
        } else if (o.command == "show" && (a.empty() || a[0] != '-')) {
            const auto path = Utf8ToCp932(a);
            if (!path) {
                Error("a scenario path must be text that code page 932 can hold: " + a);
                return std::nullopt;
            }
            o.paths.push_back(*path);
        } else {
            Error("unknown argument for " + o.command + ": " + a);
            return std::nullopt;
        }
    }
    if (o.command == "show" && o.paths.empty()) {
        Error("show needs at least one scenario path");
        return std::nullopt;
    }
    return o;
}

// ---- text forms

// Columns of CP932 text on a terminal: a double-byte character is two
// columns wide, a single byte one, so the width is the byte count.
std::string Pad(std::string_view cp932, std::size_t width) {
    std::string s = Utf8(cp932);
    if (cp932.size() < width) s.append(width - cp932.size(), ' ');
    return s;
}

std::string Label(std::string_view utf8Label) {
    return Pad(*Utf8ToCp932(utf8Label), 16);
}

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", c);
                    out += esc;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

std::string Json(const ScenarioInfo& s) {
    std::string j = "{";
    auto text = [&](const char* key, std::string_view cp932) {
        if (j.size() > 1) j += ",";
        j += "\"" + std::string(key) + "\":" + JsonString(Utf8(cp932));
    };
    auto number = [&](const char* key, const std::string& digits) { j += ",\"" + std::string(key) + "\":" + digits; };
    text("path", s.path);
    text("portName", s.portName);
    text("scenarioArguments", s.scenarioArguments);
    text("stageName", s.stageName);
    number("startTime", DecimalText(std::uint32_t{s.startTime}));
    number("bandHours", DecimalText(s.bandHours));
    text("timeBandText", s.timeBandText);
    number("bandMinutes", DecimalText(s.bandMinutes));
    number("clearScore", DecimalText(s.clearScore));
    text("programName", ProgramNameText(s.programName));
    text("windText", s.windText);
    number("controlledFlights", DecimalText(s.controlledFlights));
    number("highScore", DecimalText(s.highScore));
    text("commandLine", s.commandLine);
    text("difficultyStars", s.difficultyStars);
    text("modeText", s.modeText);
    j += std::string(",\"succeeded\":") + (s.succeeded ? "true" : "false");
    text("statusText", s.statusText);
    return j + "}\n";
}

// The boxes in the order they stand on the form, top to bottom.
std::string FormText(const ScenarioInfo& s) {
    std::string t;
    auto line = [&](std::string_view label, std::string_view valueUtf8) {
        t += Label(label);
        t += valueUtf8;
        t += "\n";
    };
    line("ファイル名：", Utf8(s.path));
    line("ステージ：", Utf8(s.stageName));
    line("クリアスコア：", DecimalText(s.clearScore));
    line("ハイスコア：", DecimalText(s.highScore));
    line("時間帯：", Utf8(s.timeBandText));
    line("管制便数：", DecimalText(s.controlledFlights));
    // The wind box is multi-line: three entries to a line.
    std::string wind = Utf8(s.windText);
    for (std::size_t at; (at = wind.find("\r\n")) != std::string::npos;)
        wind.replace(at, 2, "\n" + std::string(16, ' '));
    line("風向・風速：", wind);
    line("予想難易度：", Utf8(s.difficultyStars) + (s.difficultyStars.empty() ? "" : "  ") + s.modeText);
    line("実行コマンド：", Utf8(s.commandLine));
    if (!s.statusText.empty()) line("ステータス：", Utf8(s.statusText));
    return t;
}

std::string CsvField(std::string_view utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(utf8);
    std::string out = "\"";
    for (const char c : utf8)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// ---- commands

bool ReadLevel() {
    bool expert = false;
    if (!ReadLevelFile(expert)) Error(Utf8(kLevelFileErrorText) + " (Normal Mode)");
    return expert;
}

int List(const Catalogue& catalogue) {
    std::string out;
    for (const PortEntry& port : catalogue) {
        out += Utf8(port.portName) + "\n";
        for (const std::string& file : port.scenarioFiles)
            out += "    " + Utf8(file) + "\n";
    }
    WriteOut(out);
    return 0;
}

int Show(const Options& o) {
    const bool expert = ReadLevel();
    ProgramName previous{};
    int status = 0;
    for (std::size_t i = 0; i < o.paths.size(); ++i) {
        const std::string& path = o.paths[i];
        fs::FileError error;
        if (!fs::OpenForReading(path, error)) {
            Error(Utf8(DescribeFileError(error)));
            status = 1;
        }
        // The form keeps the previous scenario's program name when a file
        // cannot be read that far; so does a run of several paths here.
        const ScenarioInfo info = ReadScenario(path, expert, previous, kFileTitle);
        previous = info.programName;
        if (o.json) {
            WriteOut(Json(info));
        } else {
            WriteOut((i ? "\n" : "") + FormText(info));
        }
    }
    return status;
}

int Table(const Catalogue& catalogue, bool csv) {
    const bool expert = ReadLevel();
    struct Row {
        std::vector<std::string> cells;  // CP932
    };
    std::vector<Row> rows;
    rows.push_back({{"port", "file", "stage", "time band", "flights", "stars",
                     expert ? "clear score (expert)" : "clear score (normal)", "high score"}});
    ProgramName previous{};
    for (const PortEntry& port : catalogue) {
        for (const std::string& file : port.scenarioFiles) {
            const ScenarioInfo s = ReadScenario(MakeScenarioPath(port.portName, file), expert, previous, kFileTitle);
            previous = s.programName;
            const std::string stars = csv ? std::to_string(s.difficultyStars.size() / 2) : s.difficultyStars;
            rows.push_back({{port.portName, file, s.stageName, s.timeBandText, DecimalText(s.controlledFlights), stars,
                             DecimalText(s.clearScore), DecimalText(s.highScore)}});
        }
    }
    std::string out;
    if (csv) {
        rows[0].cells = {"port", "file", "stage", "timeBand", "flights", "stars", "clearScore", "highScore"};
        for (const Row& row : rows) {
            for (std::size_t c = 0; c < row.cells.size(); ++c)
                out += (c ? "," : "") + CsvField(Utf8(row.cells[c]));
            out += "\r\n";
        }
    } else {
        std::vector<std::size_t> width(rows[0].cells.size(), 0);
        for (const Row& row : rows)
            for (std::size_t c = 0; c < row.cells.size(); ++c)
                width[c] = std::max(width[c], row.cells[c].size());
        for (const Row& row : rows) {
            std::string line;
            for (std::size_t c = 0; c < row.cells.size(); ++c)
                line += Pad(row.cells[c], c + 1 < row.cells.size() ? width[c] + 2 : 0);
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            out += line + "\n";
        }
    }
    WriteOut(out);
    return 0;
}

}  // namespace

int Run(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        WriteOut(kUsage);
        return 0;
    }
    const auto options = Parse(args);
    if (!options) {
        WriteErr(kUsage);
        return 2;
    }
    const Options& o = *options;
    // The game folder becomes the working directory, as in the selector:
    // every path of the game is relative to it.
    if (!o.gameDir.empty() && !SetWorkingDirectory(o.gameDir)) {
        Error("the game folder cannot be opened: " + o.gameDir);
        return 1;
    }
    if (!fs::BeginSearch("port\\*")) {                                   // even an empty port folder has "." and ".."
        Error("シナリオファイルフォルダのパスが見つかりません (port)");  // the selector's own message
        return 1;
    }
    if (o.command == "show") return Show(o);
    const std::optional<Catalogue> catalogue = ScanCatalogue();
    if (!catalogue) return 1;  // the port folder went away since the check above
    if (o.command == "list") return List(*catalogue);
    return Table(*catalogue, o.csv);
}

}  // namespace kolt::info
