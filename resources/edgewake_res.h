/* Resource ids of the hot-corner service edgewake.dll. Plain defines only:
   the resource compiler and the library's C++ code both read this file. */
#ifndef REDIRA_EDGEWAKE_RES_H
#define REDIRA_EDGEWAKE_RES_H

/* Icons: the library's own, and one per feedback state. */
#define IDI_EW_LIBRARY 1
#define IDI_EW_NO_SAVER 107
#define IDI_EW_IDLE 108
#define IDI_EW_STARTING 109
#define IDI_EW_HELD_OFF 110
#define IDI_EW_ARMING 111

/* The About box. */
#define IDD_EW_ABOUT 114
#define IDC_EW_ABOUT_ICON 1201
#define IDC_EW_ABOUT_VERSION 1202

/* The feedback window's texts: a title and a hint per state, 1 to 4. */
#define IDS_EW_TITLE_BASE 200
#define IDS_EW_HINT_BASE 210

/* The settings: dialog 108, the Display Properties page 107 (the same
   controls without OK and Cancel), and the monitor control's own texts
   and pictures. */
#define IDD_EW_PAGE 107
#define IDD_EW_SETTINGS 108
#define IDC_EW_FEEDBACK 1001
#define IDC_EW_PAGE 1002
#define IDC_EW_ICON 1003
#define IDC_EW_STARTUP 1004
#define IDC_EW_START 1005
#define IDC_EW_TERMINATE 1006
#define IDC_EW_NOT_RUNNING 1007
#define IDC_EW_RUNNING 1008
#define IDC_EW_EXPLANATION 1011
#define IDC_EW_MONITOR 1012
#define IDS_EW_ROW_DEFAULT 1
#define IDS_EW_ROW_NOW 2
#define IDS_EW_ROW_NEVER 3
#define IDS_EW_ANCHORS 4
#define IDB_EW_MONITOR 301
#define IDB_EW_CORNER_DEFAULT 302
#define IDB_EW_CORNER_NOW 303
#define IDB_EW_CORNER_NEVER 304

#endif
