// koltSSel.exe's entry point: start-up, message loop, exit.
#include <windows.h>

#include "app/selector_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    kolt::CSelectorApp app;
    const int code = app.InitInstance() ? app.Run() : 0;
    return app.ExitInstance(code);
}
