// Numeric ids of the setup's resources. Plain #defines: resource scripts include
// this file too.
#pragma once

// String table: wizard and install messages (German).
#define IDS_CANCEL_CAPTION          1   // "&Beenden"
#define IDS_FINISH_CAPTION          2   // "&Fertig stellen"
#define IDS_CONFIRM_QUIT            3   // "Installation beenden?"
#define IDS_MESSAGE_CAPTION         4   // "Tessolo Installation"
#define IDS_INVALID_FOLDER          5
#define IDS_FOLDER_LABEL            6   // "Zielverzeichnis"
#define IDS_INSTALL_FAILED          7
#define IDS_BROWSE_TITLE            8   // "Zielverzeichnis:"
#define IDS_CONFIRM_ASSOCIATIONS    9
#define IDS_VIEWER_RUNNING          10
#define IDS_FOLDER_NOT_CREATABLE    11

// String table: download texts.
#define IDS_DL_CONNECTED            103
#define IDS_DL_RESOLVING            104
#define IDS_DL_RESOLVED             105
#define IDS_DL_CONNECTING           106
#define IDS_DL_REDIRECTING          107
#define IDS_DL_GETTING_INFO         108
#define IDS_DL_URL_PARSE_ERROR      109
#define IDS_DL_GENERIC_ERROR        110
#define IDS_DL_CONNECT_ERROR        111
#define IDS_DL_NO_RESPONSE          112
#define IDS_DL_NO_HTTP_RESPONSE     113
#define IDS_DL_READ_ERROR           114
#define IDS_DL_PERCENT_CAPTION      115
#define IDS_DL_RETRIEVING           116
#define IDS_DL_OF                   117
#define IDS_DL_SECONDS              118
#define IDS_DL_MINUTES              119
#define IDS_DL_MINUTES_SECONDS      120
#define IDS_DL_BYTES                121
#define IDS_DL_KB                   123
#define IDS_DL_MB                   125
#define IDS_DL_TIME_LEFT_COPIED     127
#define IDS_DL_BYTES_PER_SEC        128
#define IDS_DL_KB_PER_SEC           129
#define IDS_DL_FILE_OPEN_ERROR      131
#define IDS_DL_ABORTING             132

// Dialog templates.
#define IDD_WELCOME                 101
#define IDD_FILE_TYPES              104
#define IDD_WHATS_NEW               108
#define IDD_READY                   109
#define IDD_FINISHED                110
#define IDD_TOOLBAR_OFFER           111
#define IDD_DOWNLOAD                124
#define IDD_BROWSER_OFFER           125

// Controls.
#define IDC_FOLDER_EDIT             1000
#define IDC_DL_HEADING              1001
#define IDC_DL_SOURCE               1002
#define IDC_DL_BAR                  1003
#define IDC_DL_REMAINING            1004
#define IDC_DL_RATE                 1005
#define IDC_BROWSE                  1009
#define IDC_READY_FOLDER_LINE       1010
#define IDC_DESKTOP_SHORTCUT        1011
#define IDC_GROUP_SHORTCUT          1012
#define IDC_WELCOME_TITLE           1013
#define IDC_READY_TITLE             1014
#define IDC_FINISHED_TITLE          1015
#define IDC_CURRENT_USER            1016
#define IDC_ALL_USERS               1017
#define IDC_NO_SHORTCUTS            1019
#define IDC_START_VIEWER            1020
#define IDC_THUMBNAILS_SHORTCUT     1021
#define IDC_SHOW_FAQ                1022
#define IDC_OFFER_LEAD_IN           1025
#define IDC_OFFER_BANNER            1026
#define IDC_OFFER_TERMS             1027
#define IDC_OFFER_PRIVACY           1028   // also the finished page's toolbar note
#define IDC_TOOLBAR_NOTE            1028
#define IDC_OFFER_TITLE             1029
#define IDC_TOOLBAR_PICTURE         1030
#define IDC_ASSOC_ALL_USERS         1037
#define IDC_INI_PROGRAM_FOLDER      1038
#define IDC_INI_APPDATA_FOLDER      1039
#define IDC_INI_CUSTOM_FOLDER       1040
#define IDC_INI_BROWSE              1042
#define IDC_ACCEPT_TOOLBAR          1043
#define IDC_WORKING_LINE            1044
#define IDC_EULA_LINK               1045
#define IDC_ACCEPT_BROWSER          1046
#define IDC_BROWSER_DEFAULT         1047
#define IDC_CHECK_ALL_TYPES         1080
#define IDC_CHECK_NO_TYPES          1081
#define IDC_CHECK_IMAGE_TYPES       1091
#define IDC_FILE_TYPE_LIST          1579

// Bitmaps and icons.
#define IDB_LOGO                    113
#define IDB_TOOLBAR_PICTURE         186
#define IDB_BROWSER_LOGO            196
#define IDB_BROWSER_PICTURE         197
#define IDI_SETUP                   111
#define IDI_FORM_FILL               183
#define IDI_POPUP_BLOCKER           184
#define IDI_SEARCH                  185

// Release notes shown on the what's-new page (type "TXT").
#define IDR_RELEASE_NOTES           128

// Payload (see install/PayloadTable.cpp for the files they become).
#define IDR_VIEWER_EXE              119
#define IDR_UNINSTALL_EXE           138
#define IDR_HELP_CHM                126
#define IDR_HELP_GERMAN_CHM         190
#define IDR_ABOUT_TXT               120
#define IDR_CHANGES_TXT             121
#define IDR_OPTIONS_TXT             122
#define IDR_PLUGINS_TXT             123
#define IDR_LANGUAGES_TXT           135
#define IDR_SKIN24_TXT              144
#define IDR_SKIN16_TXT              173
#define IDR_SKIN24_PNG              175
#define IDR_SKIN16_PNG              176
#define IDR_MOVIE_DLL               136
#define IDR_GLYPHS_DLL              137
#define IDR_FILTERS_DLL             141
#define IDR_BRUSH_DLL               145
#define IDR_CHARCONV_DLL            178
#define IDR_AREASNAP_DLL            179
#define IDR_SHOWREEL_EXE            143
#define IDR_GERMAN_DLL              124
#define IDR_GERMAN_LNG              189
#define IDR_THUMBNAILS_HTML         149
#define IDR_SLIDESHOW_HTML          150
#define IDR_FRAME_HTML              151

// Partner check libraries, written to the temporary folder for the checks.
#define IDR_TOOLBAR_CHECK_DLL       193
#define IDR_BROWSER_CHECK_DLL       195
