/* Resource ids of the saver Redira.scr, shared by its resource script and
   its C++ code. Plain defines only. */
#ifndef REDIRA_REDIRA_RES_H
#define REDIRA_REDIRA_RES_H

/* Texts: the registry key of the puzzle's settings and progress, and the
   default difficulty. */
#define IDS_REDIRA_KEY 2
#define IDS_REDIRA_DEFAULT_HARD 3

/* Icons: the saver's own, and the end-of-set dialog's. The kit's icon is
   199 (dozekit_res.h). */
#define IDI_REDIRA 100
#define IDI_REDIRA_END 106

/* The end-of-set dialog. */
#define IDD_END_OF_SET 104
#define IDC_END_EASY 1003
#define IDC_END_SAME 1004
#define IDC_END_HARDER 1005
#define IDC_END_CLICKS 1006
#define IDC_END_TIME 1007
#define IDC_END_COMPLETED 1008

/* The settings dialog. */
#define IDD_SETTINGS 107
#define IDC_SET_ORIGINAL 1009
#define IDC_SET_OWN 1010
#define IDC_SET_BROWSE 1012
#define IDC_SET_DIFFICULTY 1019
#define IDC_SET_FOLDER 1020
#define IDC_SET_DIFFICULTY_LABEL 1021
#define IDC_SET_MORE 1023

#endif
