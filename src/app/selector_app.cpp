#include "app/selector_app.h"

#include <commctrl.h>
#include <ole2.h>

#include <vector>

#include "base/cp932.h"

namespace kolt {

const wchar_t kAppTitle[] = L"koltシナリオセレクタ";
CSelectorApp* CSelectorApp::current_ = nullptr;

namespace {

const wchar_t kCannotEnterFolder[] = L"ゲームがインストールされたフォルダに移動できません";

// The program file's full path, however long.
std::wstring ModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    while (true) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        if (buffer.size() >= 32768 * 2) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring Wide(const std::string& cp932) {
    const std::u16string w = Cp932ToUtf16(cp932);
    return std::wstring(w.begin(), w.end());
}

// Until the real frame window is built, a bare top-level window stands in.
LRESULT CALLBACK StandInProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int AppMessageBox(HWND owner, const wchar_t* text, UINT flags) {
    return MessageBoxW(owner, text, kAppTitle, flags);
}

CSelectorApp::CSelectorApp() { current_ = this; }

CSelectorApp::~CSelectorApp() {
    if (oleInitialized_) OleUninitialize();
    if (current_ == this) current_ = nullptr;
}

bool CSelectorApp::InitInstance() {
    // 1. Common controls for the tree, toolbar and status bar.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES |
                                             ICC_STANDARD_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&icc);

    // 2. Component services (the folder picker needs them).
    if (FAILED(OleInitialize(nullptr))) {
        AppMessageBox(nullptr, L"", MB_OK | MB_ICONERROR);
        return false;
    }
    oleInitialized_ = true;

    // 3. The settings file beside the program.
    const std::wstring module = ModulePath();
    if (module.empty()) return false;
    settingsFile_.emplace(SettingsPathFor(Utf16ToUtf8(std::u16string(module.begin(), module.end()))));

    // 4. The two settings.
    const Settings settings = settingsFile_->Load();
    gamePriority = settings.gamePriority;
    gameFolder = settings.gameFolder;

    // 5. No folder yet: ask for one before anything else.
    if (gameFolder.empty()) OnOptions();

    // 6. From here on every path is relative to the game folder.
    if (!EnterGameFolder()) {
        AppMessageBox(nullptr, kCannotEnterFolder, MB_OK | MB_ICONERROR);
        return false;
    }

    // 7. The main window.
    if (!CreateMainWindow()) return false;

    // 8. Show it at once.
    ShowWindow(mainWindow_, SW_SHOW);
    UpdateWindow(mainWindow_);
    return true;
}

bool CSelectorApp::EnterGameFolder() {
    return !gameFolder.empty() && SetCurrentDirectoryW(Wide(gameFolder).c_str()) != 0;
}

bool CSelectorApp::CreateMainWindow() {
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"koltSSelFrame";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    if (!RegisterClassExW(&wc)) return false;
    mainWindow_ = CreateWindowExW(0, wc.lpszClassName, kAppTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, wc.hInstance, nullptr);
    return mainWindow_ != nullptr;
}

int CSelectorApp::Run() {
    MSG msg;
    BOOL r;
    while ((r = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (r == -1) return -1;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int CSelectorApp::ExitInstance(int exitCode) {
    // Written once, both keys together; before the file's path is known there
    // is nowhere to write (and the registry is never used).
    if (settingsFile_) settingsFile_->Save(Settings{gamePriority, gameFolder});
    return exitCode;
}

void CSelectorApp::OnOptions() {
    // The options dialog comes with its own change; until then there is
    // nothing to ask, and an empty folder ends start-up with its message.
}

void CSelectorApp::OnAppAbout() {}

}  // namespace kolt
