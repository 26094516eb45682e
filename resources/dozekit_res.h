/* Resource ids of the screen-saver kit DozeKit. A saver's own resource
   script includes dozekit.rc, which puts these resources into the saver's
   module, where the kit loads them. Plain defines only: the resource
   compiler and the kit's C++ code both read this file. */
#ifndef REDIRA_DOZEKIT_RES_H
#define REDIRA_DOZEKIT_RES_H

/* The separate previewer program and what the kit tells about it. */
#define IDS_DK_GLIMPSER 50
#define IDS_DK_GLIMPSER_NOT_STARTED 51
#define IDS_DK_GLIMPSER_NO_ANSWER 52
#define IDS_DK_GLIMPSER_INIT_FAILED 53
#define IDS_DK_GLIMPSER_NOT_FOUND 54
#define IDS_DK_GLIMPSER_NO_CHILD 55

/* The user's settings in the registry: the key and its value names. */
#define IDS_DK_SETTINGS_KEY 500
#define IDS_DK_PASSWORD_DELAY 501
#define IDS_DK_PASSWORD_DELAY_INDEX 502
#define IDS_DK_MOUSE_THRESHOLD 503
#define IDS_DK_MOUSE_THRESHOLD_INDEX 504
#define IDS_DK_MOUSE_CORNERS 505
#define IDS_DK_MUTE_SOUND 506
#define IDS_DK_ACTIVE_CONFIG 507

/* The monitor control: its picture (beside its mask), the corner
   pictures for Default, Now and Never, the corner menus' rows, the
   screen's corners on the picture and the hot-corner service warning. */
#define IDB_DK_MONITOR 3010
#define IDB_DK_CORNER_DEFAULT 3011
#define IDB_DK_CORNER_NOW 3012
#define IDB_DK_CORNER_NEVER 3013
#define IDS_DK_CORNER_DEFAULT 3050
#define IDS_DK_CORNER_NOW 3051
#define IDS_DK_CORNER_NEVER 3052
#define IDS_DK_MONITOR_ANCHORS 3055
#define IDS_DK_WARNING 3057
#define IDS_DK_NEED_CORNER_SERVICE 3058

/* The configuration sheet. */
#define IDS_DK_ABOUT_ITEM 3500
#define IDS_DK_SHEET_CAPTION 3501

/* Password change and check. */
#define IDS_DK_CHANGEPW_LIBRARY 3520
#define IDS_DK_CHANGEPW_ENTRY 3521
#define IDS_DK_CHANGEPW_PROVIDER 3522
#define IDS_DK_DESKTOP_KEY 3523
#define IDS_DK_USE_PASSWORD 3524
#define IDS_DK_VERIFYPW_LIBRARY 3525
#define IDS_DK_VERIFYPW_ENTRY 3526

/* Hot-corner services, help and the general page's texts. */
#define IDS_DK_AGENT_LIBRARY 3530
#define IDS_DK_AGENT_DETECT 3531
#define IDS_DK_AGENT_CHANGED 3532
#define IDS_DK_AGENT_HELP 3533
#define IDS_DK_SENSITIVITY_HIGH 3534
#define IDS_DK_SENSITIVITY_NORMAL 3535
#define IDS_DK_SENSITIVITY_LOW 3536
#define IDS_DK_SENSITIVITY_KEYBOARD 3537
#define IDS_DK_SECONDS 3538
#define IDS_DK_MINUTES 3539
#define IDS_DK_ALWAYS_PASSWORD 3540
#define IDS_DK_NEVER_PASSWORD 3541
#define IDS_DK_HELP_FILE 3560

/* Dialogs. */
#define IDD_DK_HOST 3600
#define IDD_DK_GENERAL 3601
#define IDD_DK_ABOUT 3602
#define IDC_DK_HOST_CHILD 3638
#define IDC_DK_ABOUT_NAME 10

/* The general page's controls. */
#define IDC_DK_SENSITIVITY_LABEL 3630
#define IDC_DK_SENSITIVITY_NOTE 3631
#define IDC_DK_SENSITIVITY 3632
#define IDC_DK_DELAY_LABEL 3633
#define IDC_DK_DELAY 3634
#define IDC_DK_DELAY_SPIN 3635
#define IDC_DK_DELAY_UNIT 3636
#define IDC_DK_DELAY_AFTER 3637
#define IDC_DK_SERVICE_FOUND 3638
#define IDC_DK_NO_SERVICE 3639
#define IDC_DK_MONITOR 3640
#define IDC_DK_MUTE 3641
#define IDC_DK_ACTIVE_CONFIG 3643
#define IDC_DK_PASSWORD_NOTE 3644

/* Help contexts of the general page's controls. */
#define IDH_DK_CORNERS 3100
#define IDH_DK_SENSITIVITY 3101
#define IDH_DK_DELAY 3102
#define IDH_DK_MUTE 3105
#define IDH_DK_ACTIVE_CONFIG 3106

/* The About item on the sheet's system menu. */
#define IDM_DK_ABOUT 3500

/* The kit's icon; its presence tells that the kit's resources are there. */
#define IDI_DK_KIT 199

#endif
