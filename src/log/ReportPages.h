#pragma once
// The fixed report pages and parts of pages, made of the report templates among the program's
// resources. Page files are text files: each line feed reaches the disk as CR LF.
#include <string>

class CFile;

// Writes the bytes of report template id (one of IDR_CLOG_HEAD ... IDR_MLOG_FOOT) to the open
// file. A missing or empty template writes nothing: the result is then true when the system
// reports no error. Errors of the file are thrown.
bool WriteTemplate(CFile& file, int id);

// "frame.htm": the frameset of the two reports. False, without a message, on a file error.
bool WriteFrameReport(const std::string& path);

// The head of "clog.htm" and, with withFoot, its foot: the connection report without rows.
// False, without a message, on a file error.
bool WriteConnectionReportShell(const std::string& path, bool withFoot);

// The open flags of a report page that is written anew.
unsigned ReportPageFlags();
