#pragma once
// The fixed report pages and parts of pages, made of the report templates among the program's
// resources. Page files are text files: each line feed reaches the disk as CR LF.
#include <cstdint>
#include <optional>
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

// The head of "clog.htm" written over the start of the file, the rest of the old page left for
// the rows to overwrite: a page the size of the last one is then rewritten in the system's
// cache, which is several times faster than truncating it and writing it anew. Returns where
// the head ends; nothing, without a message, on a file error, after which the file ends where
// the writing stopped.
std::optional<std::uint64_t> WriteConnectionReportHead(const std::string& path);

// The open flags of a report page that is written anew.
unsigned ReportPageFlags();
