// Real launches of the stand-in game programs (tools/standins) from a
// temporary game folder, with a top-level window of the test's own playing the
// selector's main window. The stand-ins write down what they saw; times are
// QueryPerformanceCounter ticks, comparable across processes.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "base/text_win.h"
#include "launch/game_launcher_win.h"
#include "support/temp_dir.h"

namespace kolt {
namespace {

namespace stdfs = std::filesystem;
using test::Sj;
using test::TempDir;

std::int64_t Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// The stand-ins' build folder, relative to this test program.
stdfs::path StandinFolder() {
    return stdfs::path(ModulePath()).parent_path() / KOLT_STANDINS_DIR;
}

// Serves this thread's messages (the worker's calls on the test window need
// them) until `done` or the time-out; returns whether `done` became true.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void PumpFor(std::chrono::milliseconds span) {
    PumpUntil([] { return false; }, span);
}

// Stands in for the selector's main window: remembers when it was minimised
// and when it came back.
class MainWindow {
public:
    MainWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KoltLaunchTestMain";
        RegisterClassW(&windowClass);  // fails harmlessly when already registered
        handle_ = CreateWindowExW(0, L"KoltLaunchTestMain", L"launch test", WS_OVERLAPPEDWINDOW, 140, 90, 420, 260,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), this);
        ShowWindow(handle_, SW_SHOWNORMAL);
        PumpFor(std::chrono::milliseconds(100));
    }
    ~MainWindow() { DestroyWindow(handle_); }
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND handle() const { return handle_; }
    std::int64_t minimisedAt() const { return minimisedAt_; }
    std::int64_t restoredAt() const { return restoredAt_; }
    WINDOWPLACEMENT Placement() const {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(handle_, &placement);
        return placement;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_SIZE) {
            if (wParam == SIZE_MINIMIZED && self->minimisedAt_ == 0) self->minimisedAt_ = Now();
            if (wParam != SIZE_MINIMIZED && self->minimisedAt_ != 0 && self->restoredAt_ == 0)
                self->restoredAt_ = Now();
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND handle_ = nullptr;
    std::int64_t minimisedAt_ = 0;
    std::int64_t restoredAt_ = 0;
};

BOOL CALLBACK CountOwnVisibleWindows(HWND window, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window)) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

bool SamePlacement(const WINDOWPLACEMENT& a, const WINDOWPLACEMENT& b) {
    return a.showCmd == b.showCmd && EqualRect(&a.rcNormalPosition, &b.rcNormalPosition);
}

using Record = std::map<std::string, std::string>;

std::int64_t Time(const Record& record, const std::string& key) {
    const auto it = record.find(key);
    return it == record.end() ? 0 : std::stoll(it->second);
}

class GameLauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::make_unique<TempDir>();
        gameFolder_ = stdfs::path(WideFromUtf8(folder_->path()));
        for (const char* standin : {"velq.exe", "dormaux.exe", "qmz48.exe"})
            AddProgram(standin, standin);
        folder_->MakeDir("log");
        workingDir_ = std::make_unique<test::ScopedWorkingDir>(folder_->path());
        window_ = std::make_unique<MainWindow>();
        launcher_ = std::make_unique<GameLauncher>();
    }

    void TearDown() override {
        launcher_.reset();
        EndProgramsOfTheGameFolder();
        window_.reset();
        workingDir_.reset();
        // The folder goes only once nothing runs from it.
        folder_.reset();
    }

    // Copies a stand-in into the game folder under `name` (CP932).
    void AddProgram(const char* standin, std::string_view name) {
        stdfs::copy_file(StandinFolder() / standin, gameFolder_ / kolt::Wide(name),
                         stdfs::copy_options::overwrite_existing);
    }

    LaunchRequest Request(std::string commandLine, ProgramName programName = {'s', 'c', 'n', 'p', 'r', 'o', 'g', 0},
                          std::int32_t priority = 32) {
        return LaunchRequest{std::move(commandLine), programName, priority, window_->handle()};
    }

    // Starts a launch and serves the window until the worker has ended.
    void Launch(LaunchRequest request) {
        ASSERT_TRUE(launcher_->Start(std::move(request)));
        ASSERT_TRUE(PumpUntil([this] { return !launcher_->Busy(); }, std::chrono::seconds(30)))
            << "the launch did not end";
    }

    // What a stand-in wrote down, by its file name; empty when it never ran.
    Record ReadRecord(std::string_view program) const {
        Record record;
        std::ifstream in(gameFolder_ / L"log" / (WideFromUtf8(program) + L".log"));
        for (std::string line; std::getline(in, line);)
            if (const auto eq = line.find('='); eq != std::string::npos)
                record[line.substr(0, eq)] = line.substr(eq + 1);
        return record;
    }

    // Every record, for failure messages.
    std::string AllRecords() const {
        std::string all;
        for (const auto& file : stdfs::directory_iterator(gameFolder_ / L"log")) {
            std::ifstream in(file.path());
            all += "\n" + std::string(std::istreambuf_iterator<char>(in), {});
        }
        return all + "\nwindow minimised=" + std::to_string(window_->minimisedAt()) +
               " restored=" + std::to_string(window_->restoredAt());
    }

    bool HasEnded(std::string_view program) const { return ReadRecord(program).count("ended") != 0; }

    // Any stand-in still running from the game folder is ended, so that no test
    // sees another's processes.
    void EndProgramsOfTheGameFolder() {
        const std::wstring prefix = gameFolder_.wstring();
        std::vector<DWORD> ids;
        const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
            ids.push_back(entry.th32ProcessID);
        CloseHandle(snapshot);
        for (DWORD id : ids) {
            const HANDLE process =
                OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
            if (!process) continue;
            wchar_t path[MAX_PATH * 4];
            DWORD size = static_cast<DWORD>(std::size(path));
            if (QueryFullProcessImageNameW(process, 0, path, &size) &&
                CompareStringOrdinal(path, static_cast<int>(prefix.size()), prefix.c_str(),
                                     static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL) {
                TerminateProcess(process, 1);
                WaitForSingleObject(process, 5000);
            }
            CloseHandle(process);
        }
    }

    std::unique_ptr<TempDir> folder_;
    stdfs::path gameFolder_;
    std::unique_ptr<test::ScopedWorkingDir> workingDir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<GameLauncher> launcher_;
};

TEST_F(GameLauncherTest, GameRunsAtTheChosenPriorityClassFromItsFirstInstruction) {
    const std::pair<std::int32_t, DWORD> cases[] = {
        {32, NORMAL_PRIORITY_CLASS},
        {16384, BELOW_NORMAL_PRIORITY_CLASS},
        {64, IDLE_PRIORITY_CLASS},
        {128, HIGH_PRIORITY_CLASS},  // stored by hand: passed on unchanged
        // Not a class: a stray suspend or debug flag must not reach the game,
        // which then starts at the default class.
        {4, NORMAL_PRIORITY_CLASS},
        {1, NORMAL_PRIORITY_CLASS},
        {16384 | 4, BELOW_NORMAL_PRIORITY_CLASS},
    };
    for (const auto& [setting, expected] : cases) {
        SCOPED_TRACE(setting);
        Launch(Request("velq.exe /log=log /standby=off /game=off PORT NAME", {}, setting));
        const Record starter = ReadRecord("velq.exe");
        EXPECT_EQ(starter.at("priority"), std::to_string(expected));
        EXPECT_EQ(starter.at("args"), "PORT NAME");
        EXPECT_TRUE(stdfs::equivalent(stdfs::path(WideFromUtf8(starter.at("cwd"))), gameFolder_));
        EXPECT_NE(window_->restoredAt(), 0);
    }
}

TEST_F(GameLauncherTest, MainWindowIsMinimisedWhileTheStarterRunsAndRestoredToItsPlacement) {
    // A placement of its own, different from the default one.
    WINDOWPLACEMENT before = window_->Placement();
    before.rcNormalPosition = RECT{200, 150, 700, 480};
    SetWindowPlacement(window_->handle(), &before);
    before = window_->Placement();

    const std::int64_t pressed = Now();
    Launch(Request("velq.exe /log=log /life=800 /standby=off /game=off A s01"));
    const Record starter = ReadRecord("velq.exe");
    ASSERT_NE(Time(starter, "ended"), 0);
    EXPECT_GT(window_->minimisedAt(), pressed);
    EXPECT_LT(window_->minimisedAt(), Time(starter, "ended"));
    EXPECT_GT(window_->restoredAt(), Time(starter, "ended"));
    EXPECT_FALSE(IsIconic(window_->handle()));
    EXPECT_TRUE(SamePlacement(window_->Placement(), before));
}

TEST_F(GameLauncherTest, StandbyAndTheScenarioProgramAreWaitedOnUntilBothHaveEnded) {
    AddProgram("dormaux.exe", "scnprog.exe");
    const char* const commandLines[] = {
        // The scenario's program outlives the standby program ...
        "velq.exe /log=log /standby=500 /also=scnprog.exe,1500 /game=off A s01",
        // ... the standby program outlives the scenario's program ...
        "velq.exe /log=log /standby=1500 /also=scnprog.exe,500 /game=off A s01",
        // ... and the scenario's program starts as the standby program ends.
        "velq.exe /log=log /standby=700 /standby-then=scnprog.exe,900 /game=off A s01",
    };
    for (const char* commandLine : commandLines) {
        SCOPED_TRACE(commandLine);
        window_ = std::make_unique<MainWindow>();
        Launch(Request(commandLine));
        const std::int64_t standbyEnded = Time(ReadRecord("dormaux.exe"), "ended");
        const std::int64_t programEnded = Time(ReadRecord("scnprog.exe"), "ended");
        ASSERT_NE(standbyEnded, 0) << AllRecords();
        ASSERT_NE(programEnded, 0) << AllRecords();
        EXPECT_GT(window_->restoredAt(), standbyEnded);
        EXPECT_GT(window_->restoredAt(), programEnded);
    }
}

TEST_F(GameLauncherTest, GameWindowReceivesWmCloseBeforeTheMainWindowIsRestored) {
    Launch(Request("velq.exe /log=log /standby=300 /game=forever A s01"));
    // The order is the point, not the speed: a loaded machine may take a while.
    ASSERT_TRUE(PumpUntil([this] { return HasEnded("qmz48.exe"); }, std::chrono::seconds(30)));
    const Record game = ReadRecord("qmz48.exe");
    EXPECT_EQ(game.at("args"), "A s01");
    ASSERT_NE(Time(game, "wm_close"), 0) << "the game window was not sent WM_CLOSE";
    EXPECT_LT(Time(game, "wm_close"), window_->restoredAt());
    EXPECT_GT(Time(game, "wm_close"), Time(ReadRecord("dormaux.exe"), "ended"));
}

TEST_F(GameLauncherTest, StopWhileTheStartedProgramRunsEndsTheWorkerWithoutRestoring) {
    ASSERT_TRUE(launcher_->Start(Request("velq.exe /log=log /life=3000 /standby=off /game=off A s01")));
    ASSERT_TRUE(PumpUntil([this] { return window_->minimisedAt() != 0; }, std::chrono::seconds(30)));

    const auto before = std::chrono::steady_clock::now();
    launcher_.reset();
    // Promptness is the point; the bound is loose so that only a hang fails.
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));

    ASSERT_TRUE(PumpUntil([this] { return HasEnded("velq.exe"); }, std::chrono::seconds(30)));
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(window_->restoredAt(), 0);
    EXPECT_TRUE(IsIconic(window_->handle()));
}

TEST_F(GameLauncherTest, StopDuringTheWatchEndsWithoutClosingTheGameOrRestoring) {
    ASSERT_TRUE(launcher_->Start(Request("velq.exe /log=log /standby=1500 /game=forever A s01")));
    ASSERT_TRUE(
        PumpUntil([this] { return HasEnded("velq.exe") && window_->minimisedAt() != 0; }, std::chrono::seconds(30)));
    PumpFor(std::chrono::milliseconds(200));  // the worker is now in a watch pass

    const auto before = std::chrono::steady_clock::now();
    launcher_.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));

    ASSERT_TRUE(PumpUntil([this] { return HasEnded("dormaux.exe"); }, std::chrono::seconds(30)));
    PumpFor(std::chrono::milliseconds(500));
    EXPECT_EQ(window_->restoredAt(), 0);
    EXPECT_EQ(Time(ReadRecord("qmz48.exe"), "wm_close"), 0);
}

TEST_F(GameLauncherTest, MissingProgramEndsSilentlyWithTheWindowUntouched) {
    const WINDOWPLACEMENT before = window_->Placement();
    Launch(Request("nosuch.exe A s01"));
    PumpFor(std::chrono::milliseconds(200));
    EXPECT_EQ(window_->minimisedAt(), 0);
    EXPECT_TRUE(SamePlacement(window_->Placement(), before));
    // Nothing shown: the test's window is this process's only top-level window.
    int windows = 0;
    EnumWindows(CountOwnVisibleWindows, reinterpret_cast<LPARAM>(&windows));
    EXPECT_EQ(windows, 1);
}

TEST_F(GameLauncherTest, ProcessNamesAreFoundWithoutRegardToCase) {
    AddProgram("dormaux.exe", "DORMAUX.EXE");
    AddProgram("dormaux.exe", Sj("ゲーム.exe"));
    PROCESS_INFORMATION upper{}, japanese{};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring upperCommand = L"DORMAUX.EXE /life=5000";
    std::wstring japaneseCommand = WideFromUtf8("ゲーム.exe /life=5000");
    ASSERT_TRUE(
        CreateProcessW(nullptr, upperCommand.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &upper));
    ASSERT_TRUE(CreateProcessW(nullptr, japaneseCommand.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &japanese));
    for (HANDLE h : {upper.hThread, japanese.hThread})
        CloseHandle(h);

    EXPECT_EQ(FindProcessByName("dormaux.exe"), upper.dwProcessId);
    EXPECT_EQ(FindProcessByName("DorMaux.Exe"), upper.dwProcessId);
    EXPECT_EQ(FindProcessByName("dormaux.ex"), 0u);
    EXPECT_EQ(FindProcessByName("ormaux.exe"), 0u);
    EXPECT_EQ(FindProcessByName(Sj("ゲーム.EXE")), japanese.dwProcessId);
    EXPECT_EQ(FindProcessByName(".exe"), 0u);
    for (HANDLE h : {upper.hProcess, japanese.hProcess}) {
        TerminateProcess(h, 0);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
    }

    // The watch finds an upper-case standby program as well.
    Launch(Request("velq.exe /log=log /standby-exe=DORMAUX.EXE /standby=1000 /game=off A s01"));
    const std::int64_t standbyEnded = Time(ReadRecord("DORMAUX.EXE"), "ended");
    ASSERT_NE(standbyEnded, 0);
    EXPECT_GT(window_->restoredAt(), standbyEnded);
}

TEST_F(GameLauncherTest, EightByteProgramNameIsWatchedAndAnAllZeroOneMatchesNothing) {
    AddProgram("dormaux.exe", "ABCDEFGH.exe");
    Launch(Request("velq.exe /log=log /standby=off /game=off /also=ABCDEFGH.exe,1200 A s01",
                   {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}));
    const std::int64_t programEnded = Time(ReadRecord("ABCDEFGH.exe"), "ended");
    ASSERT_NE(programEnded, 0);
    EXPECT_GT(window_->restoredAt(), programEnded);

    // With an all-zero field nothing is watched after the starter: the window
    // comes back while the scenario's program still runs.
    AddProgram("dormaux.exe", "scnprog.exe");
    window_ = std::make_unique<MainWindow>();
    Launch(Request("velq.exe /log=log /standby=off /game=off /also=scnprog.exe,4000 A s01", {}));
    EXPECT_NE(window_->restoredAt(), 0);
    EXPECT_FALSE(HasEnded("scnprog.exe"));
}

TEST_F(GameLauncherTest, SecondStartIsRefusedUntilTheEarlierLaunchHasEnded) {
    EXPECT_FALSE(launcher_->Start(Request("")));
    EXPECT_FALSE(launcher_->Busy());

    ASSERT_TRUE(launcher_->Start(Request("velq.exe /log=log /standby=600 /game=off A s01")));
    EXPECT_TRUE(launcher_->Busy());
    EXPECT_FALSE(launcher_->Start(Request("qmz48.exe /log=log /life=100 B s02")));
    ASSERT_TRUE(PumpUntil([this] { return !launcher_->Busy(); }, std::chrono::seconds(20)));
    EXPECT_TRUE(ReadRecord("qmz48.exe").empty()) << "a refused press started the game";

    window_ = std::make_unique<MainWindow>();
    ASSERT_TRUE(launcher_->Start(Request("qmz48.exe /log=log /life=100 B s02")));
    ASSERT_TRUE(PumpUntil([this] { return !launcher_->Busy(); }, std::chrono::seconds(20)));
    EXPECT_EQ(ReadRecord("qmz48.exe").at("args"), "B s02");
    EXPECT_NE(window_->restoredAt(), 0);
}

TEST_F(GameLauncherTest, ProcessThatRefusesFullAccessIsStillWaitedOn) {
    ASSERT_TRUE(launcher_->Start(Request("velq.exe /log=log /refuse-full-access /standby=3000 /game=off A s01")));
    // The standby program really refuses full access but allows a wait. It
    // lives long enough to be looked at on a loaded machine.
    DWORD standby = 0;
    ASSERT_TRUE(PumpUntil([&] { return (standby = FindProcessByName("dormaux.exe")) != 0; }, std::chrono::seconds(30)));
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(OpenProcess(0x1F0FFF, FALSE, standby), nullptr);
    const HANDLE forWaiting = OpenProcess(SYNCHRONIZE, FALSE, standby);
    EXPECT_NE(forWaiting, nullptr);
    if (forWaiting) CloseHandle(forWaiting);

    ASSERT_TRUE(PumpUntil([this] { return !launcher_->Busy(); }, std::chrono::seconds(20)));
    const std::int64_t standbyEnded = Time(ReadRecord("dormaux.exe"), "ended");
    ASSERT_NE(standbyEnded, 0);
    EXPECT_GT(window_->restoredAt(), standbyEnded);
}

TEST_F(GameLauncherTest, GameFoldersProgramStartsNotOneOfTheSameNameBesideTheLauncher) {
    // A starter of a name of its own in the game folder, and another copy
    // beside this test program, which stands in for the selector's folder:
    // process creation would look there first.
    const std::string name = "plant" + std::to_string(GetCurrentProcessId());
    AddProgram("velq.exe", name + ".exe");
    const stdfs::path planted = stdfs::path(ModulePath()).parent_path() / WideFromUtf8(name + ".exe");
    stdfs::copy_file(StandinFolder() / "velq.exe", planted, stdfs::copy_options::overwrite_existing);
    const std::unique_ptr<const stdfs::path, void (*)(const stdfs::path*)> removePlanted(&planted, [](auto* path) {
        std::error_code ignored;
        stdfs::remove(*path, ignored);
    });
    const std::string options = " /log=log /standby=off /game=off A s01";
    for (const std::string& commandLine : {name + ".exe" + options, name + options, '"' + name + ".exe\"" + options}) {
        SCOPED_TRACE(commandLine);
        stdfs::remove(gameFolder_ / L"log" / WideFromUtf8(name + ".exe.log"));
        window_ = std::make_unique<MainWindow>();
        Launch(Request(commandLine));
        const Record starter = ReadRecord(name + ".exe");
        ASSERT_TRUE(starter.count("path")) << AllRecords();
        EXPECT_TRUE(
            stdfs::equivalent(stdfs::path(WideFromUtf8(starter.at("path"))), gameFolder_ / WideFromUtf8(name + ".exe")))
            << starter.at("path");
        EXPECT_EQ(starter.at("args"), "A s01");
        EXPECT_NE(window_->restoredAt(), 0);
    }
}

}  // namespace
}  // namespace kolt
