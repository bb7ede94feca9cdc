#include "catalogue/catalogue_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/file_system.h"
#include "support/temp_dir.h"

namespace kolt {
namespace {

using test::Sj;
using Files = std::vector<std::string>;

// The catalogue as port -> sorted files, for comparisons that do not depend
// on the order in which a file system hands out names.
std::map<std::string, Files> AsMap(const Catalogue& catalogue) {
    std::map<std::string, Files> m;
    for (const PortEntry& port : catalogue) {
        EXPECT_EQ(m.count(port.portName), 0u) << "port listed twice: " << port.portName;
        Files files = port.scenarioFiles;
        std::sort(files.begin(), files.end());
        m[port.portName] = files;
    }
    return m;
}

class ScanTest : public ::testing::Test {
protected:
    std::optional<Catalogue> Scan() {
        test::ScopedWorkingDir cwd(game.path());
        return ScanCatalogue();
    }
    // A scan that must succeed, as port -> sorted files.
    std::map<std::string, Files> ScanMap() {
        const std::optional<Catalogue> catalogue = Scan();
        EXPECT_TRUE(catalogue.has_value()) << "the scan failed";
        return catalogue ? AsMap(*catalogue) : std::map<std::string, Files>{};
    }
    test::TempDir game;
};

TEST_F(ScanTest, MissingPortFolderIsTheFailure) {
    game.WriteFile("config.ini", "level=0\r\n");
    EXPECT_EQ(Scan(), std::nullopt);
}

TEST_F(ScanTest, EmptyPortFolderGivesAnEmptyCatalogue) {
    game.MakeDir("port");
    const auto catalogue = Scan();
    ASSERT_TRUE(catalogue.has_value());
    EXPECT_TRUE(catalogue->empty());
}

TEST_F(ScanTest, Sd3FilesHideSd2FilesAndSd2IsTheFallback) {
    game.WriteFile("port\\Both\\scenario\\b01.sd3", "x");
    game.WriteFile("port\\Both\\scenario\\b02.sd2", "x");
    game.WriteFile("port\\Old\\scenario\\o01.sd2", "x");
    game.WriteFile("port\\Old\\scenario\\notes.txt", "x");
    game.WriteFile("port\\Upper\\scenario\\B01.SD3", "x");
    EXPECT_EQ(ScanMap(),
              (std::map<std::string, Files>{{"Both", {"b01.sd3"}}, {"Old", {"o01.sd2"}}, {"Upper", {"B01.SD3"}}}));
}

TEST_F(ScanTest, AFolderMatchingSd3GivesAnEntryWithoutFilesAndNoFallback) {
    game.MakeDir("port\\Dir\\scenario\\x.sd3");
    game.WriteFile("port\\Dir\\scenario\\y.sd2", "x");
    EXPECT_EQ(ScanMap(), (std::map<std::string, Files>{{"Dir", {}}}));
}

TEST_F(ScanTest, PortsWithoutScenariosAndPlainFilesAreLeftOut) {
    game.MakeDir("port\\NoScenarioFolder");
    game.MakeDir("port\\EmptyScenario\\scenario");
    game.WriteFile("port\\readme.txt", "not a port");
    game.WriteFile("port\\fake.sd3", "not a port either");
    game.WriteFile("port\\Real\\scenario\\r.sd3", "x");
    game.WriteFile("port\\Real\\r2.sd3", "outside the scenario folder");
    EXPECT_EQ(ScanMap(), (std::map<std::string, Files>{{"Real", {"r.sd3"}}}));
}

TEST_F(ScanTest, OddPortNamesAreListedWholeAndSearchTheirOwnFolder) {
    const std::string kana = Sj("ソ港");  // its first character's second byte is 0x5C
    game.WriteFile("port\\Alpha.old\\scenario\\a.sd2", "x");
    game.WriteFile("port\\sd3port\\scenario\\s.sd2", "x");
    game.WriteFile("port\\" + kana + "\\scenario\\" + Sj("表") + ".sd3", "x");
    EXPECT_EQ(ScanMap(), (std::map<std::string, Files>{
                             {"Alpha.old", {"a.sd2"}}, {"sd3port", {"s.sd2"}}, {kana, {Sj("表") + ".sd3"}}}));
    EXPECT_EQ(MakeScenarioPath(kana, Sj("表") + ".sd3"), "port\\" + kana + "\\scenario\\" + Sj("表") + ".sd3");
}

TEST_F(ScanTest, OrderIsTheDirectorySearchOrder) {
    for (const char* p : {"Kilo", "alpha", "Echo", "bravo"}) {
        game.WriteFile(std::string("port\\") + p + "\\scenario\\z.sd3", "x");
        game.WriteFile(std::string("port\\") + p + "\\scenario\\A.sd3", "x");
        game.WriteFile(std::string("port\\") + p + "\\scenario\\m.sd3", "x");
    }
    const auto catalogue = Scan();
    ASSERT_TRUE(catalogue.has_value());
    test::ScopedWorkingDir cwd(game.path());
    Files expectedPorts;
    auto search = fs::BeginSearch("port\\*");
    ASSERT_NE(search, nullptr);
    for (fs::DirEntry e; search->Next(e);)
        if (!e.isDots) expectedPorts.push_back(e.name);
    Files ports;
    for (const PortEntry& p : *catalogue) {
        ports.push_back(p.portName);
        Files expectedFiles;
        auto files = fs::BeginSearch("port\\" + p.portName + "\\scenario\\*.sd3");
        ASSERT_NE(files, nullptr);
        for (fs::DirEntry e; files->Next(e);)
            expectedFiles.push_back(e.name);
        EXPECT_EQ(p.scenarioFiles, expectedFiles);
    }
    EXPECT_EQ(ports, expectedPorts);
}

TEST(ScenarioPathTest, IsPortScenarioAndFile) {
    EXPECT_EQ(MakeScenarioPath("Alpha", "b01.sd3"), "port\\Alpha\\scenario\\b01.sd3");
}

}  // namespace
}  // namespace kolt
