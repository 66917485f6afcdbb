#pragma once
// An error of the operating system while opening, reading or writing a file.
#include "framework/CException.h"

#include <string>

class CFileException : public CException {
public:
    enum Cause {
        none,
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(Cause cause = none, long osError = -1,
                            const std::string& fileName = std::string());

    std::string GetErrorMessage() const override;

    Cause GetCause() const { return m_cause; }
    long GetOsError() const { return m_lOsError; }
    const std::string& GetFileName() const { return m_strFileName; }

    // The cause that fits a system error code (GetLastError); unknown codes are generic.
    static Cause OsErrorToCause(long osError);

    // Throws the exception that fits the system error code for the named file.
    [[noreturn]] static void ThrowOsError(long osError, const std::string& fileName);

private:
    Cause m_cause;
    long m_lOsError;
    std::string m_strFileName;
};
