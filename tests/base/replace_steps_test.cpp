// The Windows settings write's decisions over a scripted file system: every
// answer ReplaceFileW and the renames are documented to give, a held file, a
// full disk, a read-only file. In each the settings file ends whole, with the
// old or the new contents, and nothing else is left beside it. The real write
// runs in settings_file_test.cpp and, under Wine, app_start_test.cpp.
#include "base/replace_steps.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <string>

namespace kolt::fs {
namespace {

using namespace win32;
using Name = ReplacePlatform::Name;
using Script = std::map<std::string, std::deque<SystemError>>;
using Counts = std::map<std::string, int>;

const std::string kOld = "[Option]\r\nGamePriority=64\r\n";
const std::string kNew = "[Option]\r\nGamePriority=16384\r\nGameFolder=D:\\G\r\n";

// Three names on one disk with `room` free bytes. A call named in `failures`
// fails with the codes listed there, one per attempt, before it works; a
// failing replace leaves the names as Windows documents for its code.
class ScriptedFiles final : public ReplacePlatform {
public:
    std::map<Name, std::string> files;
    std::uint32_t attributes = 0;
    std::uint32_t links = 1;
    std::size_t room = 1 << 20;
    Script failures;
    Counts calls;
    std::optional<std::uint32_t> attributesSet;

    SettingsInfo Inspect() override {
        const bool exists = files.count(Name::Settings) != 0;
        return {exists, attributes, links, exists ? files[Name::Settings].size() : 0};
    }
    SystemError WriteTemporary(std::string_view contents) override {
        if (const SystemError e = Call("write temporary")) return e;
        Drop(Name::Temporary);
        return Append(files[Name::Temporary], contents);
    }
    SystemError Replace() override {
        if (const SystemError e = Call("replace")) {
            // 1177: the old file is under the backup name, the settings name
            // free. Any other code: every name as it was.
            if (e == kUnableToMoveReplacement2) Rename(Name::Settings, Name::Backup);
            return e;
        }
        Rename(Name::Settings, Name::Backup);
        Rename(Name::Temporary, Name::Settings);
        return 0;
    }
    SystemError MoveToSettings(Name from) override {
        if (const SystemError e = Call(from == Name::Temporary ? "move temporary" : "move backup")) return e;
        if (!Exists(from)) return 2;
        Drop(Name::Settings);
        Rename(from, Name::Settings);
        return 0;
    }
    bool Exists(Name name) override { return files.count(name) != 0; }
    SystemError Remove(Name name) override {
        if (const SystemError e = Call("remove")) return e;
        if (!Exists(name)) return 2;
        Drop(name);
        return 0;
    }
    SystemError SetSettingsAttributes(std::uint32_t value) override {
        attributesSet = value;
        return 0;
    }
    SystemError OpenSettings() override { return Call("open"); }
    SystemError ResizeSettings(std::uint64_t size) override {
        if (const SystemError e = Call("resize")) return e;
        std::string& file = files[Name::Settings];
        if (size > file.size() && size - file.size() > room) return kDiskFull;
        if (size > file.size()) room -= size - file.size();
        file.resize(size, '\0');
        return 0;
    }
    SystemError WriteSettings(std::string_view contents) override {
        if (const SystemError e = Call("write settings")) return e;
        std::string& file = files[Name::Settings];
        const std::size_t over = std::min(contents.size(), file.size());
        file.replace(0, over, contents.substr(0, over));
        return Append(file, contents.substr(over));
    }
    SystemError FlushSettings() override { return Call("flush"); }
    void CloseSettings() override {}
    void Pause(std::uint32_t ms) override {
        EXPECT_EQ(ms, kHeldPauseMs);
        ++calls["pause"];
    }

private:
    SystemError Call(const std::string& what) {
        ++calls[what];
        auto& answers = failures[what];
        if (answers.empty()) return 0;
        const SystemError e = answers.front();
        answers.pop_front();
        return e;
    }
    // As much as there is room for, the rest refused.
    SystemError Append(std::string& file, std::string_view bytes) {
        const std::size_t fits = std::min(bytes.size(), room);
        file.append(bytes.substr(0, fits));
        room -= fits;
        return fits == bytes.size() ? 0 : kDiskFull;
    }
    void Rename(Name from, Name to) {
        files[to] = files[from];
        files.erase(from);
    }
    void Drop(Name name) {
        if (Exists(name)) room += files[name].size();
        files.erase(name);
    }
};

std::deque<SystemError> Times(int n, SystemError error) {
    return std::deque<SystemError>(n, error);
}

TEST(ReplaceContents, EveryStateEndsWithOneWholeCopyUnderTheSettingsName) {
    enum class Ends { Old, New, Missing, BothKeptAside };
    struct Row {
        const char* state;
        Script failures;
        SystemError result;
        Ends ends;
        Counts calls;  // the calls counted, of those named here
        bool exists = true;
        std::uint32_t attributes = 0;
        std::uint32_t links = 1;
        std::size_t room = 1 << 20;
        std::string contents = kNew;
    };
    const Row rows[] = {
        {"a new file", {}, 0, Ends::New, {{"replace", 0}, {"move temporary", 1}}, false},
        {"replaced, hidden kept, offline dropped",
         {},
         0,
         Ends::New,
         {{"replace", 1}, {"move temporary", 0}},
         true,
         kHidden | kOffline | kNotContentIndexed},
        {"held for a moment",
         {{"replace", {kSharingViolation, kLockViolation, kAccessDenied}}},
         0,
         Ends::New,
         {{"replace", 4}, {"pause", 3}}},
        {"held throughout",
         {{"replace", Times(kHeldAttempts, kSharingViolation)}},
         kSharingViolation,
         Ends::Old,
         {{"replace", kHeldAttempts}, {"pause", kHeldAttempts - 1}, {"move temporary", 0}}},
        {"old file not removable for a moment",
         {{"replace", Times(2, kUnableToRemoveReplaced)}},
         0,
         Ends::New,
         {{"replace", 3}}},
        {"old file never removable",
         {{"replace", Times(kHeldAttempts, kUnableToRemoveReplaced)}},
         kUnableToRemoveReplaced,
         Ends::Old,
         {{"replace", kHeldAttempts}, {"move temporary", 0}}},
        {"1176, then the rename", {{"replace", {kUnableToMoveReplacement}}}, 0, Ends::New, {{"move temporary", 1}}},
        {"1176, the rename refused",
         {{"replace", {kUnableToMoveReplacement}}, {"move temporary", {kInvalidParameter}}},
         kInvalidParameter,
         Ends::Old,
         {{"move backup", 0}}},
        {"1177, then the rename", {{"replace", {kUnableToMoveReplacement2}}}, 0, Ends::New, {{"move backup", 0}}},
        {"1177, the old contents back",
         {{"replace", {kUnableToMoveReplacement2}}, {"move temporary", {kInvalidParameter}}},
         kInvalidParameter,
         Ends::Old,
         {{"move backup", 1}}},
        {"1177, no rename allowed",
         {{"replace", {kUnableToMoveReplacement2}},
          {"move temporary", {kInvalidParameter}},
          {"move backup", {kInvalidParameter}}},
         kInvalidParameter,
         Ends::BothKeptAside,
         {{"remove", 0}}},
        {"replace not supported", {{"replace", {kNotSupported}}}, 0, Ends::New, {{"move temporary", 1}}},
        {"replace not supported, the rename held",
         {{"replace", {kInvalidFunction}}, {"move temporary", {kSharingViolation, kSharingViolation}}},
         0,
         Ends::New,
         {{"move temporary", 3}, {"pause", 2}}},
        {"disk full", {}, kDiskFull, Ends::Old, {{"replace", 0}}, true, 0, 1, 10},
        {"disk full, a new file", {}, kDiskFull, Ends::Missing, {{"move temporary", 0}}, false, 0, 1, 10},
        {"read-only",
         {},
         kAccessDenied,
         Ends::Old,
         {{"write temporary", 0}, {"replace", 0}, {"move temporary", 0}, {"open", 0}, {"pause", 0}},
         true,
         kReadOnly},
        {"a folder", {}, kAccessDenied, Ends::Old, {{"write temporary", 0}, {"open", 0}}, true, kDirectory},
        {"hard links", {}, 0, Ends::New, {{"write temporary", 0}, {"replace", 0}}, true, 0, 2},
        {"hard links, shorter", {}, 0, Ends::New, {{"write temporary", 0}}, true, 0, 2, 1 << 20, "[Option]\r\n"},
        {"hard links, held for a moment",
         {{"open", {kSharingViolation, kSharingViolation}}},
         0,
         Ends::New,
         {{"open", 3}, {"pause", 2}},
         true,
         0,
         2},
        {"hard links, disk full", {}, kDiskFull, Ends::Old, {{"write settings", 0}}, true, 0, 2, 10},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.state);
        ScriptedFiles disk;
        if (row.exists) disk.files[Name::Settings] = kOld;
        disk.attributes = row.attributes;
        disk.links = row.links;
        disk.room = row.room;
        disk.failures = row.failures;

        EXPECT_EQ(ReplaceContents(disk, row.contents), row.result);

        std::map<Name, std::string> expected;
        if (row.ends == Ends::Old) expected[Name::Settings] = kOld;
        if (row.ends == Ends::New) expected[Name::Settings] = row.contents;
        if (row.ends == Ends::BothKeptAside) expected = {{Name::Temporary, row.contents}, {Name::Backup, kOld}};
        EXPECT_EQ(disk.files, expected);
        if (row.result == 0)
            EXPECT_EQ(disk.attributesSet, AttributesAfterWrite(row.attributes));
        else
            EXPECT_EQ(disk.attributesSet, std::nullopt) << "attributes of a file not written";
        for (const auto& [call, count] : row.calls)
            EXPECT_EQ(disk.calls[call], count) << call;
    }
}

TEST(ReplaceContents, TheChangedFileIsMarkedForBackupAndNeverOffline) {
    EXPECT_EQ(AttributesAfterWrite(0), kArchive);
    EXPECT_EQ(AttributesAfterWrite(kHidden | kSystem | kOffline | kNotContentIndexed),
              kHidden | kSystem | kNotContentIndexed | kArchive);
}

}  // namespace
}  // namespace kolt::fs
