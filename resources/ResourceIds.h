// Identifiers of the program's resources, shared by the resource script and the code.
#pragma once

#define MAINICON 1

// String tables: the libraries' failure messages (see Strings.rc).
#define IDS_SV_MULTISZ_EMPTY 1000
#define IDS_SV_PROCESS_RUNNING 1001
#define IDS_SV_NO_FILES 1002

// String tables: the control library's failure messages (see Strings.rc).
#define IDS_FC_VALUE_RANGE 3000
#define IDS_FC_DUPLICATES 3001
#define IDS_FC_SORTED_LIST 3002
#define IDS_FC_LIST_INDEX 3003

// String tables: the failure messages of the control library's tabs, pages, combo boxes and
// spin edits (see Strings.rc).
#define IDS_FC_TAB_SAVE_DC 3800
#define IDS_FC_TAB_RESTORE_DC 3801
#define IDS_FC_TAB_REGION 3802
#define IDS_FC_TAB_SHAPE_POINTS 3803
#define IDS_FC_TAB_CACHE_CAPACITY 3804
#define IDS_FC_PAGE_INDEX 3805
#define IDS_FC_PAGE_VISIBLE 3806

// String tables: the program's own messages of its settings, game discovery and hardware
// information (see Strings.rc).
#define IDS_SETTINGS_KEY_NOT_OPENED 2500
#define IDS_SETTINGS_VALUE_NOT_WRITTEN 2501
#define IDS_SETTINGS_NOT_WRITTEN 2502
#define IDS_DEMO_NOT_IMPORTED 2510
#define IDS_DEMO_COPY_INCOMPLETE 2511
#define IDS_DEMO_FOLDER_IN_THE_WAY 2512
#define IDS_DEMO_NOT_COPIED 2513
