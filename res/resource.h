#pragma once
// Resource ids shared by the resource script and the code.

// Icons, menus, dialogs and report templates
#define IDR_MAINFRAME 128   // program icon; also the frame's resource id
#define IDR_TRAYMENU 130    // popup menu of the tray icon (also the tray icon's id)
#define IDI_TRAY_IDLE 142   // tray image while no connection is up
#define IDI_TRAY_ONLINE 143 // tray image while a connection is up
#define IDD_ABOUTBOX 100
#define IDD_INFO_PAGE 102
#define IDD_GENERAL_PAGE 132
#define IDD_VOLUME 133
#define IDD_CONNECTION_PAGE 134
#define IDD_HISTORY_PAGE 135
#define IDR_CLOG_HEAD 101
#define IDR_CLOG_FOOT 102
#define IDR_FRAME_PAGE 103
#define IDR_MLOG_HEAD 104
#define IDR_MLOG_FOOT 105

// String table
#define IDS_PROFILE_NAME 128     // "Tarvolo": profile name and hidden frame title
#define IDS_SHEET_CAPTION 129    // "Tarvolo - Einstellungen"
#define IDS_HELP_FILE 130        // "tarvolo.hlp"
#define IDS_SHORTCUT_FILE 131    // "Tarvolo.lnk"
#define IDS_SHORTCUT_QUESTION 132
#define IDS_PROGRAM_NAME 134     // "Tarvolo" in the About dialog and the Info page
#define IDS_RAS_FAILED 135
#define IDS_COUNTER_FAILED 136
#define IDS_RAS_MISSING 137
#define IDS_DELETE_QUESTION 138
#define IDS_TOOLTIP_FORMAT 139   // "Tarvolo: %s MByte"
#define IDS_DATA_FILE_UNREADABLE 150 // a data file that exists, %1, cannot be read
#define IDS_DATA_FILE_NOT_SAVED 151  // a data file, %1, could not take what belongs in it
#define IDS_FOLDER_TOO_LONG 140
#define IDS_APP_TITLE 57344      // "Tarvolo": caption of every message box
#define IDS_TOOLTIP_LIMIT 170    // ", %1 von %2 MB": the billing period's use and limit
#define IDS_VOLUME_WARNING 171   // the balloon of a share of the volume limit reached
#define IDS_VOLUME_LIMIT_RANGE 172 // the page "Volumen" refuses a limit outside its range
// The page "Verbindung": a line of the adapter list, and why a network cannot be read
#define IDS_ADAPTER_NOT_CONNECTED 173 // "%1 (nicht verbunden)": %1 the adapter's name
#define IDS_ADAPTER_DESCRIBED 174     // "%1 - %2": the name, then the adapter's description
#define IDS_WLAN_SERVICE_OFF 175
#define IDS_WLAN_ACCESS_DENIED 176
// The page "Verlauf": its line of figures and the chart's legend
#define IDS_HISTORY_USED 180          // "Verbraucht: %1 MB"
#define IDS_HISTORY_USED_OF_LIMIT 181 // "Verbraucht: %1 von %2 MB (%3 %)"
#define IDS_HISTORY_DAY_LEFT 182      // ", noch 1 Tag"
#define IDS_HISTORY_DAYS_LEFT 183     // ", noch %1 Tage"
#define IDS_HISTORY_FORECAST 184      // "; bei gleichem Verbrauch bis %1: etwa %2 MB"
#define IDS_HISTORY_EMPTY 185         // no connection in the billing period yet
#define IDS_HISTORY_PREVIOUS 186      // the billing periods before
#define IDS_HISTORY_RECEIVED 187      // the legend's "Empfangen"
#define IDS_HISTORY_SENT 188          // the legend's "Gesendet"
#define IDS_HISTORY_LIMIT 189         // the legend's "Limit"

// Commands
#define ID_SETTINGS 32773
#define ID_SHOW_LOG 32774
#define ID_DELETE_LOG 32775
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665

// Labels of the options sheet's own buttons
#define IDS_BUTTON_APPLY 0xEF27  // Apply
#define IDS_BUTTON_OK 0xEF28     // OK
#define IDS_BUTTON_CANCEL 0xEF29 // Cancel
#define IDS_BUTTON_HELP 0xEF2A   // Help

// Controls of the About dialog and the options pages
#define IDC_SHOW_LOG 1004      // show the log
#define IDC_AUTOSTART 1005     // start with Windows
#define IDC_SORT_ASCENDING 1006
#define IDC_INFO_HEADER 1007   // empty line above the Info page's icon
#define IDC_DELETE_LOG 1008    // delete the log
#define IDC_NOTICE 1026
#define IDC_PROGRAM_NAME 1027
#define IDC_VERSION 1028
// The page "Volumen": the check box, then what it switches on and off
#define IDC_VOLUME_LIMIT_ON 1010
#define IDC_VOLUME_LIMIT_MB 1011
#define IDC_VOLUME_MB_UNIT 1012
#define IDC_COUNT_BOTH 1013     // received and sent count
#define IDC_COUNT_RECEIVED 1014 // only received counts
#define IDC_BILLING_DAY_LABEL 1015
#define IDC_BILLING_DAY 1016
#define IDC_BILLING_DAY_UNIT 1017
#define IDC_WARN_LABEL 1018
#define IDC_WARN_PERCENT 1019
#define IDC_WARN_UNIT 1020
// The page "Verbindung": the two sources, then what the adapter's follows
#define IDC_SOURCE_DIALUP 1030
#define IDC_SOURCE_ADAPTER 1031
#define IDC_ADAPTER_LIST 1032
#define IDC_WLAN_ONLY 1033
#define IDC_WLAN_NETWORK 1034
#define IDC_WLAN_REASON 1035 // why the adapter's network cannot be read; empty where it can
// The page "Verlauf": the chart of the days, the line of figures, the periods before
#define IDC_HISTORY_CHART 1040
#define IDC_HISTORY_LINE 1041
#define IDC_HISTORY_PREVIOUS 1042
