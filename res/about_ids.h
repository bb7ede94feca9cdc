// Ids of the About box (dialog 100) and of the command that opens it.
#pragma once

#define IDD_ABOUTBOX 100

#define IDC_ABOUT_PRODUCT_NAME 1010
#define IDC_ABOUT_PRODUCT_VERSION 1011
#define IDC_ABOUT_FILE_VERSION 1012
#define IDC_ABOUT_COPYRIGHT 1013
#define IDC_ABOUT_DESCRIPTION 1014
#define IDC_ABOUT_BUILD_KIND 1015

#ifndef ID_APP_ABOUT
#define ID_APP_ABOUT 57664
#endif

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
