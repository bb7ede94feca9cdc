// Ids of the options dialog (dialog 129) and of the command that opens it.
#pragma once

#define IDD_OPTIONS 129

#define IDC_OPTIONS_PRIORITY 1017
#define IDC_OPTIONS_GAME_FOLDER 1018
#define IDC_OPTIONS_BROWSE 1019

#ifndef ID_SHOW_OPTIONS
#define ID_SHOW_OPTIONS 131
#endif

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
