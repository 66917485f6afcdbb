#include "framework/CArchiveException.h"
#include "framework/CFileException.h"
#include "framework/CMemoryException.h"
#include "support/MessageCapture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

TEST(FileExceptionText, EveryCauseHasTheStandardTextWithTheFileName) {
    const std::vector<std::pair<CFileException::Cause, std::string>> expected = {
        {CFileException::generic, "An unknown error occurred while accessing C:\\a\\clog.dat."},
        {CFileException::fileNotFound, "C:\\a\\clog.dat was not found."},
        {CFileException::badPath, "C:\\a\\clog.dat contains an invalid path."},
        {CFileException::tooManyOpenFiles,
         "C:\\a\\clog.dat could not be opened because there are too many open files."},
        {CFileException::accessDenied, "Access to C:\\a\\clog.dat was denied."},
        {CFileException::invalidFile,
         "An invalid file handle was associated with C:\\a\\clog.dat."},
        {CFileException::removeCurrentDir,
         "C:\\a\\clog.dat could not be removed because it is the current directory."},
        {CFileException::directoryFull,
         "C:\\a\\clog.dat could not be created because the directory is full."},
        {CFileException::badSeek, "Seek failed on C:\\a\\clog.dat"},
        {CFileException::hardIO,
         "A hardware I/O error was reported while accessing C:\\a\\clog.dat."},
        {CFileException::sharingViolation,
         "A sharing violation occurred while accessing C:\\a\\clog.dat."},
        {CFileException::lockViolation,
         "A locking violation occurred while accessing C:\\a\\clog.dat."},
        {CFileException::diskFull, "Disk full while accessing C:\\a\\clog.dat."},
        {CFileException::endOfFile, "An attempt was made to access C:\\a\\clog.dat past its end."},
    };
    for (const auto& [cause, text] : expected)
        EXPECT_EQ(text, CFileException(cause, -1, "C:\\a\\clog.dat").GetErrorMessage()) << cause;
}

TEST(FileExceptionText, FileWithoutNameIsCalledUnnamed) {
    EXPECT_EQ("Disk full while accessing an unnamed file.",
              CFileException(CFileException::diskFull).GetErrorMessage());
}

TEST(FileExceptionText, PercentSignsOfTheFileNameStayAsTheyAre) {
    EXPECT_EQ("Access to C:\\100%1\\x was denied.",
              CFileException(CFileException::accessDenied, 5, "C:\\100%1\\x").GetErrorMessage());
}

TEST(FileExceptionCause, SystemErrorsMapToCauses) {
    EXPECT_EQ(CFileException::fileNotFound, CFileException::OsErrorToCause(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(CFileException::badPath, CFileException::OsErrorToCause(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(CFileException::accessDenied, CFileException::OsErrorToCause(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CFileException::sharingViolation,
              CFileException::OsErrorToCause(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(CFileException::lockViolation, CFileException::OsErrorToCause(ERROR_LOCK_VIOLATION));
    EXPECT_EQ(CFileException::diskFull, CFileException::OsErrorToCause(ERROR_DISK_FULL));
    EXPECT_EQ(CFileException::diskFull, CFileException::OsErrorToCause(ERROR_HANDLE_DISK_FULL));
    EXPECT_EQ(CFileException::endOfFile, CFileException::OsErrorToCause(ERROR_HANDLE_EOF));
    EXPECT_EQ(CFileException::hardIO, CFileException::OsErrorToCause(ERROR_CRC));
    EXPECT_EQ(CFileException::tooManyOpenFiles,
              CFileException::OsErrorToCause(ERROR_TOO_MANY_OPEN_FILES));
    EXPECT_EQ(CFileException::generic, CFileException::OsErrorToCause(9999));
}

TEST(FileExceptionCause, ThrowOsErrorCarriesCodeCauseAndName) {
    try {
        CFileException::ThrowOsError(ERROR_ACCESS_DENIED, "x.dat");
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(CFileException::accessDenied, e.GetCause());
        EXPECT_EQ(long(ERROR_ACCESS_DENIED), e.GetOsError());
        EXPECT_EQ("x.dat", e.GetFileName());
    }
}

TEST(ArchiveExceptionText, StandardTexts) {
    EXPECT_EQ("An unexpected error occurred while reading clog.dat.",
              CArchiveException(CArchiveException::generic, "clog.dat").GetErrorMessage());
    EXPECT_EQ("An attempt was made to access clog.dat past its end.",
              CArchiveException(CArchiveException::endOfFile, "clog.dat").GetErrorMessage());
    EXPECT_EQ("An attempt was made to write to the reading clog.dat.",
              CArchiveException(CArchiveException::readOnly, "clog.dat").GetErrorMessage());
    EXPECT_EQ("An attempt was made to read from the writing clog.dat.",
              CArchiveException(CArchiveException::writeOnly, "clog.dat").GetErrorMessage());
}

TEST(MemoryExceptionText, OutOfMemory) {
    EXPECT_EQ("Out of memory.", CMemoryException().GetErrorMessage());
}

TEST(ExceptionReport, CaughtAsBaseShowsItsOwnTextWithOkButton) {
    MessageCapture capture;
    try {
        throw CArchiveException(CArchiveException::endOfFile, "C:\\Tool\\clog.dat");
    } catch (const CException& e) {
        EXPECT_EQ(IDOK, e.ReportError());
    }
    ASSERT_EQ(1u, capture.Messages().size());
    EXPECT_EQ("An attempt was made to access C:\\Tool\\clog.dat past its end.",
              capture.Messages()[0].text);
    EXPECT_EQ(unsigned(MB_OK), capture.Messages()[0].style);
}

TEST(ExceptionReport, MemoryExceptionReportsOutOfMemory) {
    MessageCapture capture;
    CMemoryException().ReportError();
    EXPECT_EQ(std::vector<std::string>{"Out of memory."}, capture.Texts());
}
