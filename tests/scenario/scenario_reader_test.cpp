#include "scenario/scenario_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>

#if defined(__linux__)
#include <sys/resource.h>
#endif

#include "scenario/record_scan.h"
#include "support/scenario_bytes.h"
#include "support/temp_dir.h"

namespace kolt {
namespace {

using test::ScenarioBytes;
using test::Sj;

constexpr ProgramName kNoProgram{};

// The process's peak memory so far in KiB, where the platform tells it
// cheaply; 0 elsewhere.
long PeakMemoryKiB() {
#if defined(__linux__)
    rusage usage{};
    return ::getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : 0;
#else
    return 0;
#endif
}
constexpr ProgramName kPrevious{'o', 'l', 'd', 'g', 'a', 'm', 'e', '\0'};

// "°" and "→" in CP932.
const std::string kDeg = "\x81\x8B";
const std::string kArrow = "\x81\xA8";

class ScenarioReaderTest : public ::testing::Test {
protected:
    // Writes `bytes` as port\<port>\scenario\<file> and reads it back.
    ScenarioInfo Load(const std::string& bytes, bool expert = false, std::string port = "Alpha",
                      std::string file = "s01.sd3", const ProgramName& previous = kNoProgram) {
        const ScenarioPath path = MakeScenarioPath(port, file);
        dir_.WriteFile(path, bytes);
        test::ScopedWorkingDir cwd(dir_.path());
        return ReadScenario(path, expert, previous, title_);
    }
    ScenarioInfo LoadMissing(const ScenarioPath& path, const ProgramName& previous) {
        test::ScopedWorkingDir cwd(dir_.path());
        return ReadScenario(path, false, previous);
    }
    void StageIni(std::string_view relative, std::string_view content) { dir_.WriteFile(relative, content); }

    test::TempDir dir_;
    FileTitleFunction title_ = &BareFileName;
};

TEST_F(ScenarioReaderTest, ReadsEveryFieldOfAScenario) {
    StageIni("stage\\Alpha\\Night.ini", "[Stage]\r\nhighscore=8120\r\nexe=velq.exe\r\n");
    ScenarioBytes s;
    s.Stage("Alpha Night B").Band(900, 2).Scores(15000, 23000).Program("qmz48");
    s.WindAt(96, 900, 270, 10).WindAt(112, 930, 280, 12).WindAt(128, 1000, 290, 15).WindAt(144, 1030, 300, 8);
    for (int i = 0; i < 10; ++i)
        s.AppendRecord(5).AppendRecord(7);
    for (int i = 0; i < 7; ++i)
        s.AppendRecord(6);

    const ScenarioInfo info = Load(s.bytes());
    EXPECT_TRUE(info.succeeded);
    EXPECT_EQ(info.path, "port\\Alpha\\scenario\\s01.sd3");
    EXPECT_EQ(info.portName, "Alpha");
    EXPECT_EQ(info.scenarioArguments, "Alpha s01");
    EXPECT_EQ(info.stageName, "Alpha Night B");
    EXPECT_EQ(info.startTime, 900);
    EXPECT_EQ(info.bandHours, 2);
    EXPECT_EQ(info.timeBandText, "09:00 - 11:00");
    EXPECT_EQ(info.bandMinutes, 120);
    EXPECT_EQ(info.clearScore, 15000u);
    EXPECT_EQ(ProgramNameText(info.programName), "qmz48");
    EXPECT_EQ(info.windText, "09:00 270" + kDeg + "10kt " + kArrow + " 09:30 280" + kDeg + "12kt " + kArrow +
                                 " 10:00 290" + kDeg + "15kt " + kArrow + " \r\n10:30 300" + kDeg + "08kt ");
    EXPECT_EQ(info.controlledFlights, 24);  // ten 5s, seven 6s counted twice, the 7s not at all
    EXPECT_EQ(info.highScore, 8120);
    EXPECT_EQ(info.commandLine, "velq.exe Alpha s01");
    EXPECT_EQ(info.difficultyStars, Sj("★★★"));  // 24 x 10 / 120 x 1.3 = 2.6
    EXPECT_EQ(info.modeText, "Normal Mode");
    EXPECT_EQ(info.statusText, "");
}

TEST_F(ScenarioReaderTest, ExpertModeShowsTheSecondScore) {
    ScenarioBytes s;
    s.Scores(1000, 0xFFFFFFFFu);
    const ScenarioInfo expert = Load(s.bytes(), true);
    EXPECT_EQ(expert.clearScore, 0xFFFFFFFFu);
    EXPECT_EQ(DecimalText(expert.clearScore), "4294967295");  // unsigned, never with a minus sign
    EXPECT_EQ(expert.modeText, "Expert Mode");
    const ScenarioInfo normal = Load(s.bytes(), false);
    EXPECT_EQ(normal.clearScore, 1000u);
    EXPECT_EQ(normal.modeText, "Normal Mode");
    EXPECT_EQ(DecimalText(std::int32_t{-1}), "-1");
    EXPECT_EQ(DecimalText(std::uint32_t{2147483648u}), "2147483648");
}

TEST_F(ScenarioReaderTest, TimeBand) {
    ScenarioBytes s;
    s.Band(930, 2);
    ScenarioInfo info = Load(s.bytes());
    EXPECT_EQ(info.timeBandText, "09:30 - 11:00");
    EXPECT_EQ(info.bandMinutes, 90);

    s.Band(2200, 3);  // past midnight: no modulo 24
    info = Load(s.bytes());
    EXPECT_EQ(info.timeBandText, "22:00 - 25:00");
    EXPECT_EQ(info.bandMinutes, 180);

    s.Band(0xABCD0000u | 745, 1);  // the high half of the start word is not part of the start
    info = Load(s.bytes());
    EXPECT_EQ(info.startTime, 745);
    EXPECT_EQ(info.timeBandText, "07:45 - 08:00");
    EXPECT_EQ(info.bandMinutes, 15);

    s.Band(5, -3);
    info = Load(s.bytes());
    EXPECT_EQ(info.timeBandText, "00:05 - -3:00");
    EXPECT_EQ(info.bandMinutes, -185);

    s.Band(65535, 0x7FFFFFFF);  // wraps in 32 bits as the arithmetic always has
    info = Load(s.bytes());
    EXPECT_EQ(info.timeBandText, "655:35 - -2147482994:00");
    EXPECT_EQ(info.bandMinutes, static_cast<std::int32_t>(0x7FFFFFFFu * 60u - 35u));
}

TEST_F(ScenarioReaderTest, WindEntriesAtTheBandEdges) {
    ScenarioBytes s;
    s.Band(930, 2);  // band [930, 1100)
    s.AppendWind(929, 10, 1).AppendWind(930, 20, 2).AppendWind(1059, 30, 3).AppendWind(1100, 40, 4);
    EXPECT_EQ(Load(s.bytes()).windText, "09:30 020" + kDeg + "02kt " + kArrow + " 10:59 030" + kDeg + "03kt ");
}

TEST_F(ScenarioReaderTest, WordsOfAnEntryOutsideTheBandAreExaminedAsMarkers) {
    ScenarioBytes s;
    s.Band(1000, 1);
    // Out of band, with direction 8: the speed word is then read as a time.
    s.Append32(8).Append32(700).Append32(8).Append32(1015).Append32(45).Append32(3);
    EXPECT_EQ(Load(s.bytes()).windText, "10:15 045" + kDeg + "03kt ");
}

TEST_F(ScenarioReaderTest, ThreeEntriesToALine) {
    ScenarioBytes s;
    s.Band(1000, 1);
    for (int i = 0; i < 3; ++i)
        s.AppendWind(1000 + i, 90, 5);
    std::string three = Load(s.bytes()).windText;
    EXPECT_EQ(three.find("\r\n"), std::string::npos);
    EXPECT_EQ(three.size(), 3 * 19 - 3u);
    EXPECT_TRUE(three.ends_with("kt "));

    for (int i = 3; i < 7; ++i)
        s.AppendWind(1000 + i, 90, 5);
    const std::string seven = Load(s.bytes()).windText;
    EXPECT_EQ(seven.size(), 7 * 19 + 2 * 2 - 3u);
    EXPECT_EQ(seven.find("\r\n"), 3 * 19u);
    EXPECT_EQ(seven.find("\r\n", 3 * 19 + 2), 6 * 19 + 2u);
    EXPECT_TRUE(seven.ends_with("10:06 090" + kDeg + "05kt "));

    // One entry is 16 bytes; two or more are over 30, which raises the rating.
    ScenarioBytes one;
    one.Band(1000, 1).AppendWind(1000, 270, 10);
    EXPECT_EQ(Load(one.bytes()).windText.size(), 16u);
}

TEST_F(ScenarioReaderTest, UnusualWindValuesKeepThePrintfForms) {
    ScenarioBytes s;
    s.Band(0, 0x7FFFFFFF / 100);  // an end hour so late that every small time is in the band
    s.AppendWind(5, -5, -1).AppendWind(123456, 1234, 123);
    EXPECT_EQ(Load(s.bytes()).windText, "00:05 -05" + kDeg + "-1kt " + kArrow + " 1234:56 1234" + kDeg + "123kt ");
}

TEST_F(ScenarioReaderTest, NegativeEndHourTakenAsUnsignedListsEverythingFromTheStart) {
    ScenarioBytes s;
    s.Band(930, -20);  // end hour -11: as an unsigned band end above every time
    s.AppendWind(900, 1, 1).AppendWind(930, 2, 2).AppendWind(0xFFFFF000u, 3, 3);
    const ScenarioInfo info = Load(s.bytes());
    EXPECT_EQ(info.windText, "09:30 002" + kDeg + "02kt " + kArrow + " -40:-96 003" + kDeg + "03kt ");
    EXPECT_LT(info.bandMinutes, 0);
    EXPECT_EQ(info.difficultyStars, "");

    ScenarioBytes below;
    below.Band(1400, -2);  // band end 1200 below the start: nothing lies in it
    below.AppendWind(1300, 1, 1).AppendWind(1400, 2, 2);
    EXPECT_EQ(Load(below.bytes()).windText, "");
}

TEST_F(ScenarioReaderTest, FlightRecordsAreCountedWordByWord) {
    ScenarioBytes s;
    s.AppendRecord(5, '\x05').AppendRecord(6, '\x06').AppendRecord(5);
    EXPECT_EQ(Load(s.bytes()).controlledFlights, 4);

    // A 5, 6 or 7 inside a skipped record is not counted...
    ScenarioBytes inside;
    inside.Append32(5).Append32(5).Append32(6).Put(inside.bytes().size(), std::string(96, '\0'));
    inside.Append32(7).Append32(5).Append32(0);
    EXPECT_EQ(Load(inside.bytes()).controlledFlights, 1);
    // ...and the 5 that a marker 7 skips is not either.
    EXPECT_EQ(Load(ScenarioBytes().Append32(0).Append32(7).Append32(5).Append32(6).bytes()).controlledFlights, 2);

    // The flight scan does not know wind entries: their words are markers to it.
    ScenarioBytes wind;
    wind.Band(0, 1);
    wind.AppendWind(5, 6, 7);                                    // 8, then a 5 that opens a record of 104 bytes
    wind.Put(wind.bytes().size() + 96, ScenarioBytes::Word(6));  // the word after that record
    EXPECT_EQ(Load(wind.bytes()).controlledFlights, 3);

    // Words before offset 224 are not flights.
    ScenarioBytes header;
    header.Put32(200, 5).Put32(220, 6);
    EXPECT_EQ(Load(header.bytes()).controlledFlights, 0);
}

TEST_F(ScenarioReaderTest, RecordSkippedPastTheEndEndsTheCount) {
    ScenarioBytes s;
    s.Append32(6).Append32(5);  // the 6's record runs past the end of the file
    EXPECT_EQ(Load(s.bytes()).controlledFlights, 2);
}

TEST_F(ScenarioReaderTest, PartialWordsAndCutEntriesAtTheEnd) {
    ScenarioBytes s;
    s.Band(1000, 1).AppendWind(1000, 90, 5).Append32(5);
    std::string bytes = s.bytes();
    bytes += "\x08\x00";  // a partial word is not a marker
    ScenarioInfo info = Load(bytes);
    EXPECT_EQ(info.controlledFlights, 1);
    EXPECT_EQ(info.windText.size(), 16u);

    s.Append32(8).Append32(1010).Append32(45);  // the speed word is missing
    info = Load(s.bytes() + "\x01");
    EXPECT_EQ(info.windText.size(), 16u);
}

TEST_F(ScenarioReaderTest, StageNameIsAtMost31Bytes) {
    ScenarioBytes s;
    s.Put(0, std::string(40, 'N'));
    EXPECT_EQ(Load(s.bytes()).stageName, std::string(31, 'N'));
    s.Stage(Sj("能登 朝"));
    EXPECT_EQ(Load(s.bytes()).stageName, Sj("能登 朝"));
}

TEST_F(ScenarioReaderTest, ProgramNameIsTheEightBytesAtOffset76) {
    ScenarioBytes s;
    s.Put(76, "ABCDEFGHIJ");
    ScenarioInfo info = Load(s.bytes(), false, "Alpha", "s01.sd3", kPrevious);
    EXPECT_EQ(ProgramNameText(info.programName), "ABCDEFGH");

    s.Program("qmz48");
    info = Load(s.bytes(), false, "Alpha", "s01.sd3", kPrevious);
    EXPECT_EQ(info.programName, (ProgramName{'q', 'm', 'z', '4', '8', 0, 0, 0}));
}

TEST_F(ScenarioReaderTest, ShortFileReadsWhatIsThere) {
    // A file that ends inside the program name gives that much of it and
    // NULs, never bytes of the previous scenario's name.
    ScenarioBytes s;
    s.Stage("Beta").Band(1200, 2).Program("qmz48");
    ScenarioInfo info = Load(s.bytes().substr(0, 79), false, "Alpha", "s01.sd3", kPrevious);
    EXPECT_EQ(info.programName, (ProgramName{'q', 'm', 'z', 0, 0, 0, 0, 0}));
    EXPECT_EQ(info.timeBandText, "12:00 - 14:00");
    EXPECT_EQ(info.windText, "");
    EXPECT_EQ(info.controlledFlights, 0);

    info = Load(std::string("Be"), false, "Alpha", "s01.sd3", kPrevious);
    EXPECT_EQ(info.stageName, "Be");
    EXPECT_EQ(info.timeBandText, "00:00 - 00:00");
    EXPECT_EQ(info.programName, ProgramName{});
    EXPECT_EQ(info.scenarioArguments, "Alpha s01");
}

// A platform that hides extensions (the name up to its last "."), and one
// that cannot say.
std::optional<std::string> HidingExtensions(std::string_view path) {
    std::string name = *BareFileName(path);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}
std::optional<std::string> NoTitle(std::string_view) {
    return std::nullopt;
}

TEST_F(ScenarioReaderTest, ArgumentsTakeThePlatformsTitleLessOnlyALowerCaseSdExtension) {
    struct Case {
        FileTitleFunction title;
        const char* port;
        const char* file;
        const char* arguments;
    };
    const Case cases[] = {
        {&BareFileName, "Alpha", "s01.sd3", "Alpha s01"},
        {&BareFileName, "Alpha", "s01.sd2", "Alpha s01"},
        {&BareFileName, "Alpha", "S01.SD3", "Alpha S01.SD3"},
        {&BareFileName, "Alpha", "s01.sdx", "Alpha s01"},
        {&BareFileName, "Alpha", "s01.txt", "Alpha s01.txt"},
        {&BareFileName, "Mt.Kasa", "k.sd3.sd2", "Mt.Kasa k.sd3"},
        {&HidingExtensions, "Alpha", "S01.SD3", "Alpha S01"},
        {&HidingExtensions, "Alpha", "x.sd3.sd3", "Alpha x"},  // the platform's x.sd3, then the rule
        {&HidingExtensions, "Alpha", "s01.sd2", "Alpha s01"},
        {&NoTitle, "Alpha", "S01.SD3", "Alpha S01.SD3"},  // the bare file name
    };
    const std::string bytes = ScenarioBytes().bytes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        title_ = c.title;
        EXPECT_EQ(Load(bytes, false, c.port, c.file).scenarioArguments, c.arguments);
    }
}

TEST_F(ScenarioReaderTest, DoubleByteNamesWithA5CSecondByte) {
    const std::string port = Sj("ソ能登");  // both first characters end in byte 0x5C
    const ScenarioInfo info = Load(ScenarioBytes().Stage("Delta").bytes(), false, port, Sj("表.sd3"));
    EXPECT_EQ(info.stageName, "Delta");  // the file itself was found and read
    EXPECT_EQ(info.portName, port);
    EXPECT_EQ(info.scenarioArguments, port + " " + Sj("表"));
}

TEST_F(ScenarioReaderTest, UnreadableFileLeavesTheFailureValues) {
    dir_.MakeDir("stage");
    const ScenarioInfo info = LoadMissing("port\\Alpha\\scenario\\gone.sd3", kPrevious);
    EXPECT_FALSE(info.succeeded);
    EXPECT_EQ(info.portName, "Alpha");
    EXPECT_EQ(info.scenarioArguments, "Alpha");
    EXPECT_EQ(info.stageName, "");
    EXPECT_EQ(info.timeBandText, "");
    EXPECT_EQ(info.windText, "");
    EXPECT_EQ(info.controlledFlights, 0);
    EXPECT_EQ(info.clearScore, 0u);
    EXPECT_EQ(info.difficultyStars, "");
    EXPECT_EQ(info.programName, kPrevious);
    EXPECT_EQ(info.highScore, -1);  // stage\.ini is looked up and is not there
    EXPECT_EQ(info.commandLine, "");
    EXPECT_EQ(info.statusText, DescribeFileError({fs::ErrorKind::FileNotFound, "stage\\.ini"}));
    EXPECT_EQ(info.modeText, "Normal Mode");
}

TEST_F(ScenarioReaderTest, StageIniFailureComesBackAsStatusText) {
    ScenarioBytes s;
    s.Stage("Gamma Day");
    const ScenarioInfo info = Load(s.bytes());
    EXPECT_FALSE(info.succeeded);
    EXPECT_EQ(info.highScore, -1);
    EXPECT_EQ(info.statusText, DescribeFileError({fs::ErrorKind::PathNotFound, "stage\\Gamma\\Day.ini"}));

    StageIni("stage\\Gamma\\Day.ini", "highscore=4\n");
    const ScenarioInfo found = Load(s.bytes());
    EXPECT_TRUE(found.succeeded);
    EXPECT_EQ(found.statusText, "");
    EXPECT_EQ(found.highScore, 4);
    EXPECT_EQ(found.commandLine, "");
}

TEST_F(ScenarioReaderTest, ManyMegabytesAreScannedInFull) {
    // About 6 MiB of records, crossing many buffer refills, with wind entries
    // among them: every one is found, however far into the file it lies.
    ScenarioBytes s;
    s.Band(600, 18);  // 06:00 - 24:00
    int fives = 0, sixes = 0, winds = 0;
    for (int i = 0; i < 40000; ++i) {
        if (i % 3 == 0) {
            s.AppendRecord(6);
            ++sixes;
        } else {
            s.AppendRecord(5);
            ++fives;
        }
        if (i % 1000 == 999) {
            s.AppendRecord(7).AppendWind(600 + winds % 1800, 180, 12);
            ++winds;
        }
    }
    ASSERT_GT(s.bytes().size(), 5u << 20);
    const ScenarioInfo info = Load(s.bytes());
    EXPECT_EQ(info.controlledFlights, fives + 2 * sixes);
    // The wind entries sit where the flight scan expects a marker: a marker 8
    // is no flight marker, and the entry's three words are then examined too.
    EXPECT_EQ(info.windText.size(), static_cast<std::size_t>(winds * 19 + (winds - 1) / 3 * 2 - 3));
}

TEST_F(ScenarioReaderTest, HugeSparseFileIsStreamed) {
    // 256 MiB of nothing with a wind entry and a flight record at the very
    // end: both are found, and the reading never holds the file in memory.
    ScenarioBytes head;
    head.Band(1000, 1);
    dir_.WriteFile("port\\Big\\scenario\\big.sd3", head.bytes());
    const std::uint64_t tail = 256ull << 20;
    {
        std::fstream f(std::filesystem::path(std::u8string(
                           reinterpret_cast<const char8_t*>(dir_.Native("port\\Big\\scenario\\big.sd3").c_str()))),
                       std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(tail));
        const std::string records = ScenarioBytes::Word(8) + ScenarioBytes::Word(1030) + ScenarioBytes::Word(90) +
                                    ScenarioBytes::Word(12) + ScenarioBytes::Word(6);
        f.write(records.data(), static_cast<std::streamsize>(records.size()));
        ASSERT_TRUE(f.good());
    }
    const long before = PeakMemoryKiB();
    test::ScopedWorkingDir cwd(dir_.path());
    const ScenarioInfo info = ReadScenario("port\\Big\\scenario\\big.sd3", false, kNoProgram);
    EXPECT_EQ(info.windText, "10:30 090" + kDeg + "12kt ");
    EXPECT_EQ(info.controlledFlights, 2);
    if (before > 0) {
        EXPECT_LT(PeakMemoryKiB() - before, 64 * 1024);
    }
}

TEST_F(ScenarioReaderTest, WindTextStopsAtItsLimit) {
    ScenarioBytes s;
    s.Band(0, 24);
    for (std::uint32_t i = 0; i < kMaxWindEntries + 500; ++i)
        s.AppendWind(1000, 90, 4);
    s.AppendRecord(5);
    const ScenarioInfo info = Load(s.bytes());
    const std::size_t lines = kMaxWindEntries / 3;
    EXPECT_EQ(info.windText.size(), kMaxWindEntries * 19 + (lines - 1) * 2 - 3);
    EXPECT_EQ(info.controlledFlights, 1);  // the flight scan still sees the whole file
}

TEST(DifficultyStars, IsTheCeilingOfD) {
    EXPECT_EQ(DifficultyStars(12, 60, 16), Sj("★★"));   // D = 2.0
    EXPECT_EQ(DifficultyStars(12, 60, 31), Sj("★★★"));  // D = 2.6
    EXPECT_EQ(DifficultyStars(12, 60, 30), Sj("★★"));   // 30 bytes are not more than 30
    EXPECT_EQ(DifficultyStars(1, 1000, 0), Sj("★"));    // D = 0.01
    EXPECT_EQ(DifficultyStars(0, 60, 100), "");
    EXPECT_EQ(DifficultyStars(-4, 60, 0), "");
    EXPECT_EQ(DifficultyStars(4, -60, 0), "");
    // 7 x 10 / 13 x 1.3 is 7 in exact arithmetic; rounded to double at every
    // step it is just above, and the loop has always given eight stars for it.
    EXPECT_EQ(DifficultyStars(7, 13, 31), Sj("★★★★★★★★"));
}

TEST(DifficultyStars, StopsAtOneHundred) {
    std::string hundred;
    for (int i = 0; i < 100; ++i)
        hundred += "\x81\x9A";
    EXPECT_EQ(DifficultyStars(600, 60, 0), hundred);          // D = 100 exactly
    EXPECT_EQ(DifficultyStars(599, 60, 0).size(), 2 * 100u);  // D = 99.83
    EXPECT_EQ(DifficultyStars(601, 60, 0), hundred);          // D = 100.17
    EXPECT_EQ(DifficultyStars(1, 0, 0), hundred);             // a zero-minute band: D infinite
    EXPECT_EQ(DifficultyStars(INT32_MAX, 1, 31), hundred);    // billions
    EXPECT_EQ(DifficultyStars(0, 0, 31), "");                 // 0 / 0 is NaN: no stars
    EXPECT_EQ(DifficultyStars(-1, 0, 0), "");                 // minus infinity
}

}  // namespace
}  // namespace kolt
