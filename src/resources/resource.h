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
