// Resource and command identifiers, grouped by the window that uses them.
// Included by the resource script and by the C++ sources.
#pragma once

// Program icon (16 x 16 and 32 x 32 images)
#define IDI_PELK                500

// MainWindow: hidden window made from the "MINIDIALOG" template
#define IDD_MINIDIALOG_NAME     "MINIDIALOG"

// MainWindow commands (tray menu items)
#define IDM_HELP                2000
#define IDM_OPTIONS             2001
#define IDM_EXIT                2002
#define IDM_ABOUT               2003
#define IDM_ABORT_SHUTDOWN      2031
#define IDM_POWER_OFF           2040
#define IDM_RESTART             2041
#define IDM_SHUTDOWN            2042
#define IDM_LOG_OFF             2043
#define IDM_SUSPEND             2044
#define IDM_HIBERNATE           2045
#define IDM_SCHEDULE            2049

// PromptDialog: confirmation and countdown before an action
#define IDD_PROMPT              1601
#define IDC_PROMPT_MESSAGE      1601
#define IDC_PROMPT_PUT_OFF      1602

// Force and slam prompt: the PromptDialog's sibling with the same controls
#define IDD_FORCE_PROMPT        1005

// ScheduleDialog
#define IDD_SCHEDULE            1036
#define IDC_SCHEDULE_ACTION     1010
#define IDC_SCHEDULE_FORCE      1013
#define IDC_SCHEDULE_RESUME     1015
#define IDC_SCHEDULE_RESUME_MINUTES 1016
#define IDC_SCHEDULE_MINUTES    1021

// MonitorWindow: battery level and power state
#define IDD_MONITOR             1030
#define IDC_MONITOR_BAR         1050
#define IDC_MONITOR_LEVEL       1051
#define IDC_MONITOR_STATE       1052

// Options sheet, Tray page
#define IDD_TRAY_PAGE           1034
#define IDC_TRAY_SHOW_SHUTDOWN  1009
#define IDC_TRAY_SHOW_LOG_OFF   1010
#define IDC_TRAY_PROMPT_MODE    1011
#define IDC_TRAY_SHOW_POWER_OFF 1012
#define IDC_TRAY_SHOW_HIBERNATE 1013
#define IDC_TRAY_SHOW_SUSPEND   1014
#define IDC_TRAY_SHOW_RESTART   1015
#define IDC_TRAY_SHOW_SCHEDULE  1016
#define IDC_TRAY_CLICK          1004
#define IDC_TRAY_FORCE          1019
#define IDC_TRAY_ICON           1066
#define IDC_TRAY_WARN_SECONDS   1421

// Options sheet, Command page
#define IDD_COMMAND_PAGE        1032
#define IDC_COMMAND_REMOTE_NAME 1000
#define IDC_COMMAND_PROMPT_MODE 1012
#define IDC_COMMAND_FORCE       1414
#define IDC_COMMAND_ACTION      1418
#define IDC_COMMAND_WARN_SECONDS 1423
#define IDC_COMMAND_FOR_LABEL   1430
#define IDC_COMMAND_SECONDS_LABEL 1431

// Options sheet, Idle page
#define IDD_IDLE_PAGE           1033
#define IDC_IDLE_ACTION         1010
#define IDC_IDLE_FORCE          1013
#define IDC_IDLE_ENABLED        1014
#define IDC_IDLE_RESUME         1015
#define IDC_IDLE_RESUME_MINUTES 1016
#define IDC_IDLE_MINUTES        1021

// Options sheet, Battery page
#define IDD_BATTERY_PAGE        1031
#define IDC_BATTERY_ON_TOP      55
#define IDC_BATTERY_HOVER       56
#define IDC_BATTERY_TRANSLUCENT 57
#define IDC_BATTERY_LOCATION    1000
#define IDC_BATTERY_ENABLED     1001
#define IDC_BATTERY_ALWAYS_ON   1002
#define IDC_BATTERY_ON_CHANGE   1003
#define IDC_BATTERY_STEP        1005
#define IDC_BATTERY_CHARGED     1006
#define IDC_BATTERY_NONE        1008

// Battery alerts, from the Battery page
#define IDD_ALERTS              1100
#define IDC_BATTERY_ALERTS      1101
#define IDC_ALERT_LOW           1102
#define IDC_ALERT_LOW_PERCENT   1103
#define IDC_ALERT_LOW_ACTION    1104
#define IDC_ALERT_CHARGED       1105
#define IDC_ALERT_CHARGED_PERCENT 1106
#define IDC_ALERT_TRAY_LEVEL    1107
#define IDC_ALERT_THEN_LABEL    1108

// Options sheet, Misc page
#define IDD_MISC_PAGE           1035
#define IDC_MISC_HELP           5
#define IDC_MISC_ABOUT          6
#define IDC_MISC_AUTO_START     701
#define IDC_MISC_VIEW_DIR       1001
#define IDC_MISC_VIEW_LOG       1007
#define IDC_MISC_LOG_EVENTS     1422

// Options sheet, Watch page
#define IDD_WATCH_PAGE          1037
#define IDC_WATCH_PROGRAM       1040
#define IDC_WATCH_ACTION        1041
#define IDC_WATCH_ARM           1042
#define IDC_WATCH_CPU           1043
#define IDC_WATCH_CPU_LABEL     1044
#define IDC_WATCH_NETWORK       1045
#define IDC_WATCH_KEEP_AWAKE    1046

// Clock page: an action at a time of day, and what every warning does
#define IDD_CLOCK_PAGE          1038
#define IDC_CLOCK_ENABLED       1050
#define IDC_CLOCK_ACTION        1051
#define IDC_CLOCK_TIME          1052
#define IDC_CLOCK_REPEAT        1053
#define IDC_CLOCK_PUT_OFF       1054
#define IDC_CLOCK_SOUND         1055
#define IDC_CLOCK_PUT_OFF_NOTE  1056
#define IDC_CLOCK_DAY           1060    // 1060 Sunday to 1066 Saturday

// About box
#define IDD_ABOUT               1025
#define IDC_ABOUT_ACTION        3
#define IDC_ABOUT_VIEW          1003
#define IDC_ABOUT_INFO          1015
