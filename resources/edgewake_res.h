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

#endif
