#include "scenario/property_form_win.h"

#include <iterator>
#include <tuple>

#include "base/file_title_win.h"
#include "resource.h"
#include "scenario/level_file.h"
#include "win/application.h"
#include "win/frame_window.h"

namespace kolt {

const win::MessageMap& CPropertyForm::Messages() {
    static constexpr win::MessageEntry kEntries[] = {
        win::OnCommand<&CPropertyForm::OnStartGame>(IDC_START_GAME, BN_CLICKED),
    };
    static constexpr win::MessageMap kMap{&win::FormView::Messages, kEntries};
    return kMap;
}

CPropertyForm::CPropertyForm(const std::int32_t& gamePriority)
    : win::FormView(IDD_PROPERTY_FORM), gamePriority_(gamePriority) {
    ReadLevelFile();
}

CPropertyForm::~CPropertyForm() = default;

bool CPropertyForm::CreateView(HWND parent, UINT id, const RECT& rect) {
    if (!win::FormView::CreateView(parent, id, rect)) return false;
    if (!(fileName_.Bind(hwnd(), IDC_FILE_NAME) && stageName_.Bind(hwnd(), IDC_STAGE_NAME) &&
          clearScore_.Bind(hwnd(), IDC_CLEAR_SCORE) && highScore_.Bind(hwnd(), IDC_HIGH_SCORE) &&
          timeBand_.Bind(hwnd(), IDC_TIME_BAND) && wind_.Bind(hwnd(), IDC_WIND) &&
          commandLineBox_.Bind(hwnd(), IDC_COMMAND_LINE) && flights_.Bind(hwnd(), IDC_CONTROLLED_FLIGHTS) &&
          difficulty_.Bind(hwnd(), IDC_DIFFICULTY) && mode_.Bind(hwnd(), IDC_MODE)))
        return false;
    // The template's control order puts most labels away from their boxes,
    // and a screen reader would name a box after whatever text precedes it:
    // each box is named by the label on its own row instead (the mode box,
    // which has none, by nothing).
    const win::Edit* boxes[] = {&fileName_, &stageName_,      &clearScore_, &highScore_,  &timeBand_,
                                &wind_,     &commandLineBox_, &flights_,    &difficulty_, &mode_};
    static_assert(std::size(boxes) == std::tuple_size_v<decltype(boxNames_)>);
    for (std::size_t i = 0; i < std::size(boxes); ++i)
        boxNames_[i].Attach(boxes[i]->hwnd());
    return true;
}

void CPropertyForm::ReadLevelFile() {
    if (!kolt::ReadLevelFile(expertMode)) win::ShowAppMessage(kLevelFileErrorText, MB_OK | MB_ICONEXCLAMATION);
}

bool CPropertyForm::LoadScenario(const ScenarioPath& path) {
    commandLine.clear();
    win::FrameWindow* frame = win::FrameWindow::Of(hwnd());
    if (frame) frame->ResetStatusPaneText(0);

    const ScenarioInfo info = ReadScenario(path, expertMode, programName, &PlatformFileTitle);
    commandLine = info.commandLine;
    programName = info.programName;
    if (frame && !info.statusText.empty()) frame->SetStatusPaneText(info.statusText, 0);

    SetBox(fileName_, info.path);
    SetBox(stageName_, info.stageName);
    SetBox(clearScore_, DecimalText(info.clearScore));
    SetBox(highScore_, DecimalText(info.highScore));
    SetBox(timeBand_, info.timeBandText);
    SetBox(wind_, info.windText);
    SetBox(commandLineBox_, commandLine);
    SetBox(flights_, DecimalText(info.controlledFlights));
    SetBox(difficulty_, info.difficultyStars);
    SetBox(mode_, info.modeText);
    return info.succeeded;
}

void CPropertyForm::OnStartGame() {
    if (commandLine.empty()) return;
    launcher_.Start(LaunchRequest{commandLine, programName, gamePriority_, TopLevel()});
}

}  // namespace kolt
