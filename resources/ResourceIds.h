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

// String tables: the captions of the control library's stock bitmap buttons, in the order of
// their kinds (see Strings.rc).
#define IDS_FC_KIND_OK 3300
#define IDS_FC_KIND_CANCEL 3301
#define IDS_FC_KIND_HELP 3302
#define IDS_FC_KIND_YES 3303
#define IDS_FC_KIND_NO 3304
#define IDS_FC_KIND_CLOSE 3305
#define IDS_FC_KIND_ABORT 3306
#define IDS_FC_KIND_RETRY 3307
#define IDS_FC_KIND_IGNORE 3308
#define IDS_FC_KIND_ALL 3309

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
#define IDS_CUSTOM_CONFIG_NOT_CHOSEN 2520
#define IDS_CUSTOM_CONFIG_NOT_TEXT 2521

// String tables: the program's dialogs (see Strings.rc).
#define IDS_SETTINGS_NOT_MADE 2400

// String tables: the benchmark's messages about the game's files and the run (see Strings.rc).
#define IDS_FILE_NOT_DELETED 2000
#define IDS_FILE_NOT_READ 2001
#define IDS_FILE_NOT_WRITTEN 2002
#define IDS_BACKUP_FAILED 2003
#define IDS_BACKUP_NOT_COPIED 2004
#define IDS_BACKUP_DIFFERS 2005
#define IDS_LOG_MISSING 2006
#define IDS_LOG_UNFINISHED 2007
#define IDS_RESOLUTION_NOT_MEASURED 2008
#define IDS_NAME_NOT_FOR_GAME 2009
#define IDS_REPORT_FOLDER_FAILED 2010
#define IDS_REPORT_SAVED_INSTEAD 2011
#define IDS_REPORT_NOT_SAVED 2012
#define IDS_REPORT_SAVED_IN 2013
#define IDS_FILE_NOT_MOVED 2014
#define IDS_NO_SCREENSHOT 2015
#define IDS_SCREENSHOT_KEPT 2016
#define IDS_CONTROL_CHARACTER 2017

// String tables: the shell browsing controls' texts and failure messages (4000-4999).
#define IDS_SHELL_TOO_MANY_STRINGS 4000
#define IDS_SHELL_DUPLICATE_PIDL 4001
#define IDS_SHELL_BAD_FOLDER_DATA 4002
#define IDS_SHELL_NEW_FOLDER 4010
#define IDS_SHELL_NEW_FOLDER_NUMBER 4011
#define IDS_SHELL_SHORT_FOLDER 4012
#define IDS_SHELL_SHORT_FOLDER_NUMBER 4013
#define IDS_SHELL_CANNOT_CREATE_FOLDER 4014
#define IDS_SHELL_KEY_SELECT_ALL 4020
#define IDS_SHELL_KEY_DELETE 4021
#define IDS_SHELL_KEY_COPY 4022
#define IDS_SHELL_KEY_CUT 4023
#define IDS_SHELL_KEY_PASTE 4024
#define IDS_SHELL_KEY_REFRESH 4025
#define IDS_SHELL_KEY_RENAME 4026
#define IDS_SHELL_SIZE_KB 4030
#define IDS_SHELL_SYSTEM_FOLDER 4031

// String tables: the shell list's column captions and messages (4300-4399).
#define IDS_SHELL_LIST_NAME 4300
#define IDS_SHELL_LIST_SIZE 4301
#define IDS_SHELL_LIST_TYPE 4302
#define IDS_SHELL_LIST_MODIFIED 4303
#define IDS_SHELL_LIST_ADD_FAILED 4310
