#include "log/ReportPages.h"

#include "framework/CTextFile.h"
#include "resource.h"

#include <windows.h>

bool WriteTemplate(CFile& file, int id) {
    SetLastError(NO_ERROR);
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    const DWORD size = info ? SizeofResource(nullptr, info) : 0;
    HGLOBAL data = size ? LoadResource(nullptr, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes)
        return GetLastError() == NO_ERROR;
    file.Write(bytes, size);
    return true;
}

unsigned ReportPageFlags() {
    return CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite;
}

bool WriteFrameReport(const std::string& path) {
    try {
        CTextFile file(path, ReportPageFlags());
        WriteTemplate(file, IDR_FRAME_PAGE);
        file.Close();
        return true;
    } catch (const CException&) {
        return false;
    }
}

bool WriteConnectionReportShell(const std::string& path, bool withFoot) {
    try {
        CTextFile file(path, ReportPageFlags());
        WriteTemplate(file, IDR_CLOG_HEAD);
        if (withFoot)
            WriteTemplate(file, IDR_CLOG_FOOT);
        file.Close();
        return true;
    } catch (const CException&) {
        return false;
    }
}

std::optional<std::uint64_t> WriteConnectionReportHead(const std::string& path) {
    CTextFile file;
    if (!file.Open(path, ReportPageFlags() | CFile::modeNoTruncate))
        return std::nullopt;
    try {
        WriteTemplate(file, IDR_CLOG_HEAD);
        const std::uint64_t headEnd = file.GetPosition();
        file.Close();
        return headEnd;
    } catch (const CException&) {
        // As a head that truncated the page would have left it: ending where the writing stopped.
        file.AbortAtPosition();
        return std::nullopt;
    }
}
