/* Ids of the main window's resources and of the property form's controls.
   The resource script and the code both include this file. */
#pragma once

#include "options_ids.h" /* ID_SHOW_OPTIONS, on the main window's menu */
#include "win/framework_ids.h"

#define IDR_MAINFRAME 128
#define IDD_PROPERTY_FORM 103

/* The toolbar strip and the icon drawn at the sizes of higher display scales;
   bitmap 128 and icon 128 are the 96-dpi pictures. */
#define IDB_TOOLBAR_20 140
#define IDB_TOOLBAR_24 141
#define IDB_TOOLBAR_32 142
#define IDB_TOOLBAR_48 143
#define IDI_MAINFRAME_SIZES 144

#define ID_REFRESH_CATALOGUE 130

/* Property form (dialog template 103) */
#define IDC_FILE_NAME 1000
#define IDC_TIME_BAND 1001
#define IDC_CONTROLLED_FLIGHTS 1002
#define IDC_WIND 1003
#define IDC_DIFFICULTY 1004
#define IDC_STAGE_NAME 1005
#define IDC_CLEAR_SCORE 1006
#define IDC_START_GAME 1007
#define IDC_COMMAND_LINE 1008
#define IDC_HIGH_SCORE 1009
#define IDC_MODE 1020
