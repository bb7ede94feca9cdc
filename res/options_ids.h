// Ids of the options dialog (dialog 129) and of the command that opens it.
#pragma once

#include "win/framework_ids.h" /* IDC_STATIC */

#define IDD_OPTIONS 129

#define IDC_OPTIONS_PRIORITY 1017
#define IDC_OPTIONS_GAME_FOLDER 1018
#define IDC_OPTIONS_BROWSE 1019

#define ID_SHOW_OPTIONS 131
