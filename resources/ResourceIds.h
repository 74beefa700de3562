// Identifiers of the program's resources, shared by the resource script and the code.
#pragma once

#define MAINICON 1

// String tables: the libraries' failure messages (see Strings.rc).
#define IDS_SV_MULTISZ_EMPTY 1000
#define IDS_SV_PROCESS_RUNNING 1001
#define IDS_SV_NO_FILES 1002

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
