#include "framework/CFile.h"
#include "support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

void WriteText(const std::string& path, const std::string& text) {
    CFile file(path, CFile::modeCreate | CFile::modeWrite);
    file.Write(text.data(), static_cast<unsigned>(text.size()));
    file.Close();
}

std::string ReadAll(const std::string& path) {
    CFile file(path, CFile::modeRead);
    std::string text(1000, '\0');
    text.resize(file.Read(text.data(), 1000));
    return text;
}

} // namespace

TEST(FileOpen, MissingFileFailsWithFileNotFound) {
    TempPath temp;
    const std::string missing = temp.Path() + ".missing";
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(missing, CFile::modeRead, &error));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(CFileException::fileNotFound, error.GetCause());
    EXPECT_EQ(long(ERROR_FILE_NOT_FOUND), error.GetOsError());
    EXPECT_EQ(missing + " was not found.", error.GetErrorMessage());
}

TEST(FileOpen, ConstructorThrowsForMissingFolder) {
    TempPath temp;
    const std::string path = temp.Path() + ".nofolder\\clog.dat";
    try {
        CFile file(path, CFile::modeRead);
        FAIL() << "opened " << path;
    } catch (const CFileException& e) {
        EXPECT_EQ(CFileException::badPath, e.GetCause());
        EXPECT_EQ(path, e.GetFileName());
    }
}

TEST(FileOpen, SecondExclusiveOpenIsASharingViolation) {
    TempPath temp;
    CFile first(temp.Path(), CFile::modeRead);
    CFile second;
    CFileException error;
    EXPECT_FALSE(second.Open(temp.Path(), CFile::modeRead, &error));
    EXPECT_EQ(CFileException::sharingViolation, error.GetCause());
    EXPECT_EQ("A sharing violation occurred while accessing " + temp.Path() + ".",
              error.GetErrorMessage());
}

TEST(FileOpen, DenyWriteLetsOthersReadButNotWrite) {
    TempPath temp;
    CFile holder(temp.Path(), CFile::modeRead | CFile::shareDenyWrite);
    CFile reader;
    EXPECT_TRUE(reader.Open(temp.Path(), CFile::modeRead | CFile::shareDenyNone));
    CFile writer;
    EXPECT_FALSE(writer.Open(temp.Path(), CFile::modeWrite | CFile::shareDenyNone));
}

TEST(FileReadWrite, WrittenBytesComeBackAndReadStopsAtTheEnd) {
    TempPath temp;
    WriteText(temp.Path(), std::string("ab\0\r\ncd", 7));
    CFile file(temp.Path(), CFile::modeRead);
    EXPECT_EQ(7u, file.GetLength());
    char buffer[10] = {};
    EXPECT_EQ(5u, file.Read(buffer, 5));
    EXPECT_EQ(std::string("ab\0\r\n", 5), std::string(buffer, 5));
    EXPECT_EQ(2u, file.Read(buffer, 10));
    EXPECT_EQ(0u, file.Read(buffer, 10));
}

TEST(FileReadWrite, CreateTruncatesAndNoTruncateKeeps) {
    TempPath temp;
    WriteText(temp.Path(), "0123456789");
    WriteText(temp.Path(), "abc");
    EXPECT_EQ("abc", ReadAll(temp.Path()));

    CFile file(temp.Path(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
    EXPECT_EQ(3u, file.SeekToEnd());
    file.Write("de", 2);
    file.Close();
    EXPECT_EQ("abcde", ReadAll(temp.Path()));
}

TEST(FileReadWrite, SeekPositionAndLength) {
    TempPath temp;
    WriteText(temp.Path(), "0123456789");
    CFile file(temp.Path(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
    EXPECT_EQ(0u, file.GetPosition());
    EXPECT_EQ(4u, file.Seek(4, CFile::begin));
    EXPECT_EQ(6u, file.Seek(2, CFile::current));
    EXPECT_EQ(8u, file.Seek(-2, CFile::end));
    file.Write("ab", 2);
    EXPECT_EQ(10u, file.GetPosition());
    file.SetLength(5);
    EXPECT_EQ(5u, file.GetLength());
    EXPECT_EQ(5u, file.GetPosition());
    file.Write("z", 1);
    file.SetLength(8); // a longer file grows
    EXPECT_EQ(8u, file.GetLength());
    file.Close();
    EXPECT_EQ(std::string("01234z", 6), ReadAll(temp.Path()).substr(0, 6));
    EXPECT_EQ(8u, ReadAll(temp.Path()).size());
}

TEST(FileReadWrite, WriteToFileOpenedForReadingIsDenied) {
    TempPath temp;
    CFile file(temp.Path(), CFile::modeRead);
    try {
        file.Write("x", 1);
        FAIL() << "wrote to a file opened for reading";
    } catch (const CFileException& e) {
        EXPECT_EQ(CFileException::accessDenied, e.GetCause());
        EXPECT_EQ(temp.Path(), e.GetFileName());
    }
}

TEST(FileReadWrite, ClosedFileCanBeOpenedAgainByOthers) {
    TempPath temp;
    CFile file(temp.Path(), CFile::modeWrite);
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    file.Close(); // a second close does nothing
    CFile other;
    EXPECT_TRUE(other.Open(temp.Path(), CFile::modeWrite));
}
