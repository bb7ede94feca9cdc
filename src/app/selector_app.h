// CSelectorApp: the one application object. It owns the two settings for the
// whole run, makes the game folder the working directory before any window
// exists (every path the program uses afterwards is relative to it), creates
// the main window, runs the message loop and writes the settings back at exit.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/owners_win.h"
#include "base/settings_file.h"
#include "win/application.h"

namespace kolt {

class CSelectorApp : public win::Application {
public:
    CSelectorApp() = default;
    CSelectorApp(const CSelectorApp&) = delete;
    CSelectorApp& operator=(const CSelectorApp&) = delete;

    // Start-up; false ends the program (ExitInstance still runs).
    bool InitInstance();
    static const win::MessageMap& Messages();
    const win::MessageMap& GetMessageMap() const override { return Messages(); }

    // After the message loop (win::Application::Run) or a failed start-up.
    // Writes the settings (when their file is known) and returns the exit
    // code; settings that could not be written are reported.
    int ExitInstance(int exitCode);

    // Command 131: the options dialog on copies of the two settings.
    void OnOptions();
    // Command 57664: the About box.
    void OnAppAbout();

    std::int32_t gamePriority = 0;  // a Win32 priority class value, used unchanged
    std::string gameFolder;         // CP932, absolute; may be empty

private:
    bool CreateMainWindow();
    void ReportUnsavedSettings() const;
    bool EnterGameFolder();
    // After the folder message: the options dialog once more; true when the
    // user chose a folder that could be entered.
    bool OfferOptionsAgain();

    std::optional<SettingsFile> settingsFile_;  // known from start-up step 3 on
    ComApartment com_;                          // entered at start-up step 2, left with the application object
};

}  // namespace kolt
