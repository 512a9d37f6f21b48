// String ids of the language pack, shared by its resource script and code.
#pragma once

#define IDS_LANGUAGE_NAME   1
#define IDS_OPEN_TITLE      2
#define IDS_SAVE_TITLE      3
#define IDS_SETTINGS_TITLE  4
#define IDS_ABOUT_TITLE     5
#define IDS_OK              6
#define IDS_CANCEL          7
#define IDS_APPLY           8
