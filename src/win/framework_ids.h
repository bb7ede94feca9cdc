/* Command, string and child-window ids that the frame layer gives a meaning
   to. Plain defines: the resource script includes this file as well. */
#pragma once

#define ID_APP_EXIT 57665
#define ID_APP_ABOUT 57664
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393
#define ID_INDICATOR_CAPS 59137
#define ID_INDICATOR_NUM 59138
#define ID_INDICATOR_SCRL 59139

/* A control that no code addresses (a label) */
#define IDC_STATIC (-1)

#define IDW_TOOLBAR 59392
#define IDW_STATUS_BAR 59393
#define IDW_PANE_FIRST 59648

#define IDS_APP_TITLE 57344
#define IDS_IDLEMESSAGE 57345
/* Prompts of the window menu's items: 61184 + ((SC_xxx & 0x0FFF) >> 4). */
#define IDS_SCFIRST 61184
