#include "base/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/byte_reader.h"
#include "support/temp_dir.h"

namespace kolt {
namespace {

using test::Sj;

std::vector<std::string> Names(std::string_view pattern, bool withDots = false) {
    std::vector<std::string> names;
    auto search = fs::BeginSearch(pattern);
    if (!search) return names;
    fs::DirEntry e;
    while (search->Next(e))
        if (withDots || !e.isDots) names.push_back(e.name + (e.isDirectory ? "/" : ""));
    std::sort(names.begin(), names.end());
    return names;
}

TEST(DirSearch, MatchesWildcardsWithoutRegardToCase) {
    test::TempDir dir;
    dir.WriteFile("s\\a.sd3", "");
    dir.WriteFile("s\\B01.SD3", "");
    dir.WriteFile("s\\c.sd2", "");
    dir.MakeDir("s\\x.sd3");
    test::ScopedWorkingDir cwd(dir.path());
    EXPECT_EQ(Names("s\\*.sd3"), (std::vector<std::string>{"B01.SD3", "a.sd3", "x.sd3/"}));
    EXPECT_EQ(Names("s\\?.sd2"), (std::vector<std::string>{"c.sd2"}));
    EXPECT_EQ(Names("s\\*.txt"), std::vector<std::string>{});
    EXPECT_EQ(fs::BeginSearch("s\\*.txt"), nullptr);
    EXPECT_EQ(fs::BeginSearch("missing\\*"), nullptr);
}

TEST(DirSearch, ReportsDotEntriesOfAnEmptyFolder) {
    test::TempDir dir;
    dir.MakeDir("port");
    test::ScopedWorkingDir cwd(dir.path());
    EXPECT_EQ(Names("port\\*", true), (std::vector<std::string>{"../", "./"}));
}

TEST(DirSearch, JapaneseNamesComeBackAsCp932) {
    test::TempDir dir;
    const std::string port = Sj("ソ港");  // first character's second byte is 0x5C
    dir.WriteFile("port\\" + port + "\\scenario\\" + Sj("表") + ".sd3", "x");
    test::ScopedWorkingDir cwd(dir.path());
    EXPECT_EQ(Names("port\\*"), std::vector<std::string>{port + "/"});
    EXPECT_EQ(Names("port\\" + port + "\\scenario\\*.sd3"), std::vector<std::string>{Sj("表") + ".sd3"});
}

TEST(InputFile, ReadsSharedAndReportsWhatIsMissing) {
    test::TempDir dir;
    dir.WriteFile("stage\\" + Sj("表") + ".ini", "abc");
    test::ScopedWorkingDir cwd(dir.path());
    fs::FileError err;
    auto f = fs::OpenForReading("stage\\" + Sj("表") + ".ini", err);
    ASSERT_NE(f, nullptr);
    char buf[8];
    EXPECT_EQ(f->Read(buf, sizeof buf), 3);
    EXPECT_EQ(fs::OpenForReading("stage\\none.ini", err), nullptr);
    EXPECT_EQ(err.kind, fs::ErrorKind::FileNotFound);
    EXPECT_EQ(err.path, "stage\\none.ini");
    EXPECT_EQ(fs::OpenForReading("nofolder\\none.ini", err), nullptr);
    EXPECT_EQ(err.kind, fs::ErrorKind::PathNotFound);
    EXPECT_EQ(fs::OpenForReading("stage", err), nullptr);  // a folder is not a file
    EXPECT_NE(err.kind, fs::ErrorKind::None);
}

TEST(ByteReader, ReadsWordsAcrossBufferEdgesAndSeeks) {
    test::TempDir dir;
    std::string bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += std::string(reinterpret_cast<const char*>(&i), 4);  // little-endian host
    bytes += "\x01\x02";                                             // a partial word at the end
    dir.WriteFile("f.bin", bytes);
    test::ScopedWorkingDir cwd(dir.path());
    auto file = OpenOrThrow("f.bin");
    ByteReader r(*file, "f.bin", 7);  // an odd buffer size puts words across refills
    std::uint32_t w = 0;
    for (std::uint32_t i = 0; i < 1000; ++i) {
        ASSERT_EQ(r.ReadU32(w), 4u);
        ASSERT_EQ(w, i);
    }
    EXPECT_EQ(r.ReadU32(w), 2u);
    EXPECT_EQ(w, 0x0201u);
    EXPECT_EQ(r.ReadU32(w), 0u);
    r.Seek(400);
    EXPECT_EQ(r.ReadU32(w), 4u);
    EXPECT_EQ(w, 100u);
    r.Seek(1u << 20);  // past the end: nothing to read, no error
    EXPECT_EQ(r.ReadU32(w), 0u);
    r.Seek(8);
    EXPECT_EQ(r.Tell(), 8u);
    EXPECT_EQ(r.ReadU32(w), 4u);
    EXPECT_EQ(w, 2u);
}

TEST(FileErrorText, NamesTheFileAndStaysUnder1024Bytes) {
    const std::string text = DescribeFileError({fs::ErrorKind::FileNotFound, "stage\\Alpha.ini"});
    EXPECT_EQ(text.rfind("stage\\Alpha.ini", 0), 0u);
    EXPECT_GT(text.size(), std::string("stage\\Alpha.ini").size());
    EXPECT_EQ(DescribeFileError({fs::ErrorKind::None, "x"}), "");
    std::string longPath;
    for (int i = 0; i < 600; ++i)
        longPath += Sj("表");
    EXPECT_LT(DescribeFileError({fs::ErrorKind::AccessDenied, longPath}).size(), 1024u);
}

}  // namespace
}  // namespace kolt
