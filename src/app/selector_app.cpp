#include "app/selector_app.h"

#include <commctrl.h>
#include <ole2.h>

#include <memory>
#include <vector>

#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "app/version_info.h"
#include "base/cp932.h"
#include "base/text_win.h"
#include "options/option_dlg.h"
#include "resource.h"
#include "win/application.h"
#include "win/screen_text.h"

namespace kolt {

namespace {

const wchar_t kCannotEnterFolder[] = L"ゲームがインストールされたフォルダに移動できません";

}  // namespace

const win::MessageMap& CSelectorApp::Messages() {
    static constexpr win::MessageEntry kEntries[] = {
        win::OnCommand<&CSelectorApp::OnOptions>(ID_SHOW_OPTIONS),
        win::OnCommand<&CSelectorApp::OnAppAbout>(ID_APP_ABOUT),
    };
    static constexpr win::MessageMap kMap{&win::Application::Messages, kEntries};
    return kMap;
}

bool CSelectorApp::InitInstance() {
    // The version functions from the system folder, before any window and
    // before the game folder becomes the working directory. A failure shows
    // only in the About box, as a record that cannot be read.
    LoadVersionLibrary();

    // 1. Common controls for the tree, toolbar and status bar.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES |
                                             ICC_STANDARD_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&icc);

    // 2. Component services (the folder picker needs them).
    if (!com_.Enter()) {
        // Deliberately without a text: the program has always shown just its
        // title here, and a system that cannot enter COM at all needs more
        // than a sentence from us.
        win::ShowMessage(nullptr, std::wstring_view(), MB_OK | MB_ICONERROR);
        return false;
    }

    // 3. The settings file beside the program.
    const std::wstring module = ModulePath();
    if (module.empty()) return false;
    settingsFile_.emplace(SettingsPathFor(Utf8FromWide(module)));

    // 4. The two settings.
    const Settings settings = settingsFile_->Load();
    gamePriority = settings.gamePriority;
    gameFolder = settings.gameFolder;

    // 5. No folder yet: ask for one before anything else.
    const bool askedForFolder = gameFolder.empty();
    if (askedForFolder) OnOptions();

    // 6. From here on every path is relative to the game folder.
    if (!EnterGameFolder()) {
        win::ShowMessage(nullptr, std::wstring_view(kCannotEnterFolder), MB_OK | MB_ICONERROR);
        // A stored folder that has gone (the game was moved or reinstalled)
        // would otherwise end every later start the same way: offer the
        // options once more. Cancel, or another folder that fails, ends here.
        if (askedForFolder || !OfferOptionsAgain()) return false;
    }

    // 7. The main window.
    if (!CreateMainWindow()) return false;

    // 8. Show it at once.
    ShowWindow(mainWindow(), SW_SHOW);
    UpdateWindow(mainWindow());
    return true;
}

bool CSelectorApp::OfferOptionsAgain() {
    if (!RunOptionsDialog(gamePriority, gameFolder, nullptr)) return false;
    if (EnterGameFolder()) return true;
    win::ShowMessage(nullptr, std::wstring_view(kCannotEnterFolder), MB_OK | MB_ICONERROR);
    return false;
}

bool CSelectorApp::EnterGameFolder() {
    return !gameFolder.empty() && SetCurrentDirectoryW(Wide(gameFolder).c_str()) != 0;
}

bool CSelectorApp::CreateMainWindow() {
    // Recorded as the main window before its window exists: message boxes
    // shown while the panes are built are owned by it.
    auto* frame = new CMainFrame(gamePriority);
    SetMainWnd(std::unique_ptr<win::Window>(frame));
    if (frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | win::FrameWindow::kAddToTitle)) return true;
    SetMainWnd(nullptr);
    return false;
}

int CSelectorApp::ExitInstance(int exitCode) {
    // Written once, both keys together; before the file's path is known there
    // is nowhere to write (and the registry is never used).
    if (settingsFile_ && !settingsFile_->Save(Settings{gamePriority, gameFolder})) ReportUnsavedSettings();
    return exitCode;
}

void CSelectorApp::ReportUnsavedSettings() const {
    // Without a word the next start would ask for the game folder again with
    // no hint why: say which file and what the system said about it.
    // A main window that could not be created has asked the loop to quit as
    // it went (start-up then fails without a word); the message box's own loop
    // would take that request and close the report at once. The program ends
    // after the report all the same.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    const std::wstring text = L"設定ファイルに書き込めませんでした\n" + WideFromUtf8(settingsFile_->path()) + L"\n" +
                              SystemErrorText(settingsFile_->lastError());
    win::ShowAppMessage(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void CSelectorApp::OnOptions() {
    // Owned by the main window once there is one; at start-up there is none.
    RunOptionsDialog(gamePriority, gameFolder, mainWindow());
}

void CSelectorApp::OnAppAbout() {
    ShowAboutBox(mainWindow());
}

}  // namespace kolt
