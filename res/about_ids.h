// Ids of the About box (dialog 100) and of the command that opens it.
#pragma once

#include "win/framework_ids.h" /* ID_APP_ABOUT, the command that opens it; IDC_STATIC */

#define IDD_ABOUTBOX 100

#define IDC_ABOUT_PRODUCT_NAME 1010
#define IDC_ABOUT_PRODUCT_VERSION 1011
#define IDC_ABOUT_FILE_VERSION 1012
#define IDC_ABOUT_COPYRIGHT 1013
#define IDC_ABOUT_DESCRIPTION 1014
#define IDC_ABOUT_BUILD_KIND 1015
