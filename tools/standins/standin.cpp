// Stand-ins for the game's own programs, so that a launch can be run and
// watched for real without the game. One source, built three times:
//   velq.exe     the starter (what a stage ini's "exe=" line names): starts the
//                standby program and the game, then ends at once
//   dormaux.exe  the standby program: a window-less process that lives a while
//   qmz48.exe    the game: owns a top-level window of class "Tarnwick70" titled
//                "Velquisto" and ends when that window receives WM_CLOSE
//
// Arguments: options first, each "/name" or "/name=value", then the scenario
// arguments ("PORT NAME") that the selector appends. With no options they
// behave as a demo game folder wants: the standby program lives 3 seconds, the
// game window shows the scenario arguments and stays until it is closed.
//
// Options of every stand-in:
//   /life=MS|forever        how long to live (starter 0, standby 3000, game forever)
//   /log=DIR                write what it saw to DIR\<own file name>.log (UTF-8 lines key=value:
//                           program, path, pid, priority, args, cwd, started, then wm_close and ended;
//                           times are QueryPerformanceCounter ticks)
//   /refuse-full-access     let other processes open it for waiting (SYNCHRONIZE) only
//   /then=FILE,MS           just before ending, start FILE (beside this program) to live MS
// Options of the starter (passed on: /log, /refuse-full-access, the scenario arguments):
//   /standby=MS|forever|off /game=MS|forever|off      lifetimes of the two children
//   /standby-exe=FILE /game-exe=FILE                  their file names (dormaux.exe, qmz48.exe)
//   /standby-then=FILE,MS   passed to the standby program as its /then
//   /also=FILE,MS           start one more program (repeatable), e.g. the scenario's program
// Children are started from the starter's folder, in its working directory and
// at its own priority class, as the real starter does.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shellapi.h>

#include <cstdint>
#include <cwchar>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/cp932.h"
#include "base/text_win.h"

#ifndef KOLT_STANDIN_ROLE
#error "KOLT_STANDIN_ROLE must name the role: 0 starter, 1 standby, 2 game"
#endif

namespace {

enum class Role { Starter = 0, Standby = 1, Game = 2 };
constexpr Role kRole = static_cast<Role>(KOLT_STANDIN_ROLE);
constexpr long kForever = -1;

std::string Utf8(std::wstring_view w) {
    return kolt::Utf8FromWide(w);
}

std::int64_t Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

struct Options {
    std::vector<std::pair<std::wstring, std::wstring>> named;  // "/name=value" in order given
    std::vector<std::wstring> scenarioArgs;

    std::optional<std::wstring> Get(std::wstring_view name) const {
        std::optional<std::wstring> found;
        for (const auto& [key, value] : named)
            if (key == name) found = value;
        return found;
    }
    std::vector<std::wstring> All(std::wstring_view name) const {
        std::vector<std::wstring> values;
        for (const auto& [key, value] : named)
            if (key == name) values.push_back(value);
        return values;
    }
    bool Has(std::wstring_view name) const { return Get(name).has_value(); }
};

Options ParseArguments() {
    Options options;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return options;
    int i = 1;
    for (; i < argc && argv[i][0] == L'/'; ++i) {
        const std::wstring_view arg = argv[i] + 1;
        const std::size_t eq = arg.find(L'=');
        if (eq == std::wstring_view::npos)
            options.named.emplace_back(std::wstring(arg), L"");
        else
            options.named.emplace_back(std::wstring(arg.substr(0, eq)), std::wstring(arg.substr(eq + 1)));
    }
    for (; i < argc; ++i)
        options.scenarioArgs.emplace_back(argv[i]);
    LocalFree(argv);
    return options;
}

// "forever", a number of milliseconds, or (for children) "off" = nullopt.
std::optional<long> ParseLife(const std::wstring& text, long fallback) {
    if (text.empty()) return fallback;
    if (text == L"off") return std::nullopt;
    if (text == L"forever") return kForever;
    return std::wcstol(text.c_str(), nullptr, 10);
}

std::wstring FileNamePart(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}
std::wstring FolderPart(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring CurrentDirectory() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(n, L'\0');
    dir.resize(GetCurrentDirectoryW(n, dir.data()));
    return dir;
}

// What the stand-in saw, rewritten whole at every addition (a new file put in
// the old one's place) so that a reader never sees half a line.
class Record {
public:
    explicit Record(const Options& options) {
        if (auto dir = options.Get(L"log"); dir && !dir->empty())
            path_ = *dir + L"\\" + FileNamePart(kolt::ModulePath()) + L".log";
    }
    void Add(const std::string& key, const std::string& value) {
        text_ += key + "=" + value + "\n";
        if (path_.empty()) return;
        const std::wstring temp = path_ + L".tmp";
        const HANDLE file =
            CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        WriteFile(file, text_.data(), static_cast<DWORD>(text_.size()), &written, nullptr);
        CloseHandle(file);
        // A test reading the record at that moment holds it open, and the
        // replacement is refused: it is tried again, or the line (the last
        // one, "ended", say) would be lost for good.
        for (int tries = 0; !MoveFileExW(temp.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING) && tries < 100;
             ++tries)
            Sleep(10);
    }
    void AddTime(const std::string& key) { Add(key, std::to_string(Now())); }

private:
    std::wstring path_;
    std::string text_;
};

// Others may open this process for waiting, but not with full access.
void RefuseFullAccess() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    // Everyone: SYNCHRONIZE only.
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;0x100000;;;WD)", SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && present)
        SetSecurityInfo(GetCurrentProcess(), SE_KERNEL_OBJECT,
                        DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl,
                        nullptr);
    LocalFree(descriptor);
}

std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    for (wchar_t c : arg) {
        if (c == L'"') out += L'\\';
        out += c;
    }
    return out + L"\"";
}

// Starts `file` from this program's folder with the given lifetime, passing on
// the options children share and the scenario arguments, at this process's
// priority class (set before the child runs, as Wine ignores the creation flag).
void StartChild(const Options& options, Record& record, const std::wstring& file, long lifeMs,
                const std::wstring& then = {}) {
    const std::wstring path = FolderPart(kolt::ModulePath()) + file;
    std::wstring commandLine = Quoted(path) + L" /life=" + (lifeMs == kForever ? L"forever" : std::to_wstring(lifeMs));
    if (!then.empty()) commandLine += L" " + Quoted(L"/then=" + then);
    if (auto dir = options.Get(L"log")) commandLine += L" " + Quoted(L"/log=" + *dir);
    if (options.Has(L"refuse-full-access")) commandLine += L" /refuse-full-access";
    for (const auto& arg : options.scenarioArgs)
        commandLine += L" " + Quoted(arg);

    const DWORD priorityClass = GetPriorityClass(GetCurrentProcess());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED | priorityClass,
                        nullptr, nullptr, &startup, &created)) {
        record.Add("child_failed", Utf8(path) + " " + std::to_string(GetLastError()));
        return;
    }
    record.Add("child", Utf8(file) + " " + std::to_string(created.dwProcessId));
    SetPriorityClass(created.hProcess, priorityClass);
    ResumeThread(created.hThread);
    CloseHandle(created.hThread);
    CloseHandle(created.hProcess);
}

// "FILE,MS"
std::pair<std::wstring, long> FileAndLife(const std::wstring& entry, long fallback) {
    const std::size_t comma = entry.find(L',');
    if (comma == std::wstring::npos) return {entry, fallback};
    return {entry.substr(0, comma), ParseLife(entry.substr(comma + 1), fallback).value_or(fallback)};
}

void LiveFor(long lifeMs) {
    Sleep(lifeMs == kForever ? INFINITE : static_cast<DWORD>(lifeMs < 0 ? 0 : lifeMs));
}

void RunStarter(const Options& options, Record& record) {
    if (const auto life = ParseLife(options.Get(L"standby").value_or(L""), 3000))
        StartChild(options, record, options.Get(L"standby-exe").value_or(L"dormaux.exe"), *life,
                   options.Get(L"standby-then").value_or(L""));
    if (const auto life = ParseLife(options.Get(L"game").value_or(L""), kForever))
        StartChild(options, record, options.Get(L"game-exe").value_or(L"qmz48.exe"), *life);
    for (const auto& entry : options.All(L"also")) {
        const auto [file, life] = FileAndLife(entry, 3000);
        StartChild(options, record, file, life);
    }
}

// The game's main window.
struct GameWindow {
    Record* record;
    std::wstring text;
};

LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* game = reinterpret_cast<GameWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_CLOSE:
            // Recorded before the window goes, so the sender's wait covers it.
            if (game) game->record->AddTime("wm_close");
            DestroyWindow(window);
            return 0;
        case WM_TIMER:
            DestroyWindow(window);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            if (game) DrawTextW(dc, game->text.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RunGame(HINSTANCE instance, const Options& options, Record& record, long lifeMs) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = GameWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"Tarnwick70";
    if (!RegisterClassW(&windowClass)) return;

    GameWindow game{&record, L"Velquisto:"};
    for (const auto& arg : options.scenarioArgs)
        game.text += L" " + arg;
    const HWND window = CreateWindowExW(0, L"Tarnwick70", L"Velquisto", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                        CW_USEDEFAULT, 360, 140, nullptr, nullptr, instance, &game);
    if (!window) return;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    if (lifeMs != kForever) SetTimer(window, 1, static_cast<UINT>(lifeMs < 0 ? 0 : lifeMs), nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The class first, before anything can change it.
    const DWORD priorityClass = GetPriorityClass(GetCurrentProcess());
    const Options options = ParseArguments();
    if (options.Has(L"refuse-full-access")) RefuseFullAccess();

    Record record(options);
    record.Add("program", Utf8(FileNamePart(kolt::ModulePath())));
    record.Add("path", Utf8(kolt::ModulePath()));
    record.Add("pid", std::to_string(GetCurrentProcessId()));
    record.Add("priority", std::to_string(priorityClass));
    std::wstring args;
    for (const auto& arg : options.scenarioArgs)
        args += (args.empty() ? L"" : L" ") + arg;
    record.Add("args", Utf8(args));
    record.Add("cwd", Utf8(CurrentDirectory()));
    record.AddTime("started");

    constexpr long kDefaultLife = kRole == Role::Starter ? 0 : kRole == Role::Standby ? 3000 : kForever;
    const long life = ParseLife(options.Get(L"life").value_or(L""), kDefaultLife).value_or(kDefaultLife);
    switch (kRole) {
        case Role::Starter:
            RunStarter(options, record);
            LiveFor(life);
            break;
        case Role::Standby:
            LiveFor(life);
            break;
        case Role::Game:
            RunGame(instance, options, record, life);
            break;
    }
    if (const auto then = options.Get(L"then")) {
        const auto [file, thenLife] = FileAndLife(*then, 3000);
        StartChild(options, record, file, thenLife);
    }
    record.AddTime("ended");
    return 0;
}
