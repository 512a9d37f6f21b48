// The install log: the only report of a silent install that stopped.
#pragma once

// Appends one dated record and its separator line to Tessolo_Install.log in
// the current directory; a log that cannot be opened loses the record.
void WriteInstallLog(const char* message);

// The same record appended to fileName, a name relative to the current
// directory (the uninstaller keeps a log of its own in the same format).
void WriteLogRecord(const char* fileName, const char* message);
