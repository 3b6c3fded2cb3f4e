/* The tool's user-visible texts: one place for the string table resource (VT9Now.rc) and for
   the portable core, which reads them through its StringTable interface.
   Double quotes inside texts are written as \042 so that both windres and C++ read them. */
#ifndef VT9_RES_TEXTS_H
#define VT9_RES_TEXTS_H

/* Captions of the task dialog window's common buttons. */
#define IDS_TD_YES 65366
#define STR_TD_YES "&Yes"
#define IDS_TD_NO 65367
#define STR_TD_NO "&No"
#define IDS_TD_OK 65368
#define STR_TD_OK "OK"
#define IDS_TD_CANCEL 65369
#define STR_TD_CANCEL "Cancel"
#define IDS_TD_ABORT 65371
#define STR_TD_ABORT "&Abort"
#define IDS_TD_RETRY 65372
#define STR_TD_RETRY "&Retry"

#define IDS_REMINDER_ONE_DAY 65323
#define STR_REMINDER_ONE_DAY \
  "<P align=\042center\042><FONT size=\04210\042><B>You have not done a Backup for more than 1 day</B></FONT></P>"

#define IDS_REMINDER_DAYS 65324
#define STR_REMINDER_DAYS \
  "<P align=\042center\042><FONT size=\04210\042><B>You have not done a Backup for more than xxx days</B></FONT></P>"

#define IDS_TITLE_REMINDER 65325
#define STR_TITLE_REMINDER "Vantory 9 - Backup Reminder"

#define IDS_TITLE_BACKUP_NOW 65326
#define STR_TITLE_BACKUP_NOW "Vantory 9 - Backup Now!"

#define IDS_NO_BACKUPS 65327
#define STR_NO_BACKUPS "You must make at least one backup before using the \042Backup Now\042 function."

#endif
