// CPropertyForm: the right pane, a form built from dialog template 103 that
// shows the particulars of the scenario last selected in the tree, and the
// holder of what the start button needs: the command line, the scenario's
// program name and the launcher with its stop event.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "catalogue/catalogue_scan.h"
#include "launch/game_launcher_win.h"
#include "scenario/scenario_reader.h"
#include "win/accessible_name.h"
#include "win/controls.h"
#include "win/view.h"

namespace kolt {

class CPropertyForm : public win::FormView {
public:
    // Reads config.ini (a missing one shows its message while the main
    // window is still being created).
    // `gamePriority` (a priority class value) must outlive the form; it is
    // read once per launch.
    explicit CPropertyForm(const std::int32_t& gamePriority);
    // The launcher goes first: it signals the stop event so that a waiting
    // worker gives up.
    ~CPropertyForm() override;

    static const win::MessageMap& Messages();
    const win::MessageMap& GetMessageMap() const override { return Messages(); }

    bool CreateView(HWND parent, UINT id, const RECT& rect) override;

    // Reads the scenario at `path` and writes all ten boxes; clears the
    // message pane first and puts a stage-ini error into it.
    bool LoadScenario(const ScenarioPath& path);
    // Sets expertMode from config.ini, or shows "config.ini が読めません".
    void ReadLevelFile();
    // The start button: starts the launcher on commandLine, if there is one.
    void OnStartGame();

    std::string commandLine;    // shown in box 1008 at the last load; what the start button runs
    bool expertMode = false;    // the level flag from config.ini
    ProgramName programName{};  // bytes 76..83 of the last scenario file read that far

private:
    void SetBox(const win::Edit& box, std::string_view text) const { box.SetText(text); }

    const std::int32_t& gamePriority_;
    win::Edit fileName_, stageName_, clearScore_, highScore_, timeBand_, wind_, commandLineBox_, flights_, difficulty_,
        mode_;
    std::array<win::NamedByRowLabel, 10> boxNames_;  // what a screen reader hears each box called
    GameLauncher launcher_;  // owns the stop event and the launch thread; declared last, destroyed first
};

}  // namespace kolt
