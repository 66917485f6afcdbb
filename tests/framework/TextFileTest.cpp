#include "framework/CTextFile.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const unsigned NEW_FILE = CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite;

std::string WriteAndRead(const std::string& text, unsigned bufferSize) {
    TempFolder folder;
    const std::string path = folder / "page.htm";
    CTextFile file(path, NEW_FILE, bufferSize);
    file.WriteString(text);
    file.Close();
    return ReadFileText(path);
}

const unsigned KEEP_FILE = CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite;

// A page of sixteen bytes in the folder, for text to be written over.
std::string OldPage(const TempFolder& folder) {
    const std::string path = folder / "page.htm";
    WriteFileBytes(path, "0123456789abcdef", 16);
    return path;
}

} // namespace

TEST(TextFile, EveryLineFeedReachesTheFileAsCrLf) {
    EXPECT_EQ("a\r\nb\r\n", WriteAndRead("a\nb\n", 4096));
    EXPECT_EQ("\r\n\r\n", WriteAndRead("\n\n", 4096));
    EXPECT_EQ("no line end", WriteAndRead("no line end", 4096));
}

TEST(TextFile, LinesThatEndInCrLfAlreadyEndInCrCrLf) {
    EXPECT_EQ("<HEAD>\r\r\n</HEAD>\r\r\n", WriteAndRead("<HEAD>\r\n</HEAD>\r\n", 4096));
}

TEST(TextFile, TextLongerThanTheBufferIsWrittenWhole) {
    std::string text, expected;
    for (int i = 0; i < 500; ++i) {
        text += "line " + std::to_string(i) + "\n";
        expected += "line " + std::to_string(i) + "\r\n";
    }
    // A buffer of 2 and of 7 bytes splits the CR LF pairs at every possible place.
    EXPECT_EQ(expected, WriteAndRead(text, 2));
    EXPECT_EQ(expected, WriteAndRead(text, 7));
    EXPECT_EQ(expected, WriteAndRead(text, 65536));
}

// Line feeds are looked for several bytes at a time: one at every place of texts of every
// length, among bytes that differ from it in a single bit, and no line feed at all.
TEST(TextFile, LineFeedsAreFoundAtEveryPlaceAmongTheirNeighbours) {
    const char neighbours[] = {'\x0B', '\x08', '\x8A', '\x0E', '\x1A',
                               '\x2A', '\x4A', '\x00', '\xFF'};
    std::string text, expected;
    for (std::size_t length = 0; length <= 40; ++length) {
        for (std::size_t at = 0; at <= length; ++at) { // at == length: no line feed
            for (std::size_t i = 0; i < length; ++i) {
                const char c = i == at ? '\n' : neighbours[(i + length) % sizeof neighbours];
                text += c;
                expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
            }
            text += '|';
            expected += '|';
        }
    }
    EXPECT_EQ(expected, WriteAndRead(text, 4096));
}

// Raw text goes to the file as it is, in order with the translated text around it; a
// reservation the buffer cannot take beside what it holds writes that first.
TEST(TextFile, RawTextReachesTheFileUntranslatedAndInOrder) {
    TempFolder folder;
    const std::string path = folder / "page.htm";
    CTextFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone, 16);
    file.WriteString("a\nb");         // "a\r\nb": 4 bytes
    char* room = file.ReserveRaw(10); // fits beside them
    std::memcpy(room, "\n<raw>\r\n", 8);
    file.CommitRaw(room + 8);
    EXPECT_EQ("", ReadFileText(path));
    room = file.ReserveRaw(10); // 12 + 10 do not fit
    EXPECT_EQ("a\r\nb\n<raw>\r\n", ReadFileText(path));
    std::memcpy(room, "0123456789", 10);
    file.CommitRaw(room + 4); // only four of them taken
    file.WriteString("\nend");
    file.Close();
    EXPECT_EQ("a\r\nb\n<raw>\r\n0123\r\nend", ReadFileText(path));
}

// Text written over an old file: moving and cutting write the buffer first, so the text lands
// where it was written and the cut falls behind it.
TEST(TextFile, WritesOverAnOldFileAndEndsItWhereTheTextEnds) {
    TempFolder folder;
    const std::string path = OldPage(folder);
    CTextFile file(path, KEEP_FILE, 64);
    file.WriteString("A\n");
    EXPECT_EQ(3u, file.GetPosition());
    file.Seek(5, CFile::begin);
    file.WriteString("B");
    file.SetLength(file.GetPosition());
    file.Close();
    EXPECT_EQ("A\r\n34B", ReadFileText(path));
}

// After a failed write the file ends where the writing stopped; the text still in the buffer
// never reaches it.
TEST(TextFile, AnAbortAtThePositionDropsTheBufferAndCutsTheRest) {
    TempFolder folder;
    const std::string path = OldPage(folder);
    CTextFile file(path, KEEP_FILE, 4);
    file.WriteString("wxyz"); // fills the buffer: written with the next text
    file.WriteString("ab");   // "ab" stays in the buffer
    file.AbortAtPosition();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ("wxyz", ReadFileText(path));
}

TEST(TextFile, NothingReachesTheFileBeforeCloseOrFlush) {
    TempFolder folder;
    const std::string path = folder / "page.htm";
    CTextFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone);
    file.WriteString("row\n");
    EXPECT_EQ("", ReadFileText(path));
    file.Flush();
    EXPECT_EQ("row\r\n", ReadFileText(path));
}

TEST(TextFile, DestroyedWithoutCloseDropsTheBufferedText) {
    TempFolder folder;
    const std::string path = folder / "page.htm";
    {
        CTextFile file(path, NEW_FILE);
        file.WriteString("lost\n");
    }
    EXPECT_EQ("", ReadFileText(path));
}

TEST(TextFile, AppendsAfterSeekToEndWithoutTruncating) {
    TempFolder folder;
    const std::string path = folder / "page.htm";
    WriteFileText(path, "head\r\r\n");
    CTextFile file(path, NEW_FILE | CFile::modeNoTruncate);
    file.WriteString("early\n");
    file.SeekToEnd(); // writes what is buffered first, so nothing lands behind the end
    file.WriteString("row\n");
    file.Close();
    EXPECT_EQ("early\r\nrow\r\n", ReadFileText(path));

    CTextFile again(path, NEW_FILE | CFile::modeNoTruncate);
    again.SeekToEnd();
    again.WriteString("foot\n");
    again.Close();
    EXPECT_EQ("early\r\nrow\r\nfoot\r\n", ReadFileText(path));
}

TEST(TextFile, OpenFailureThrowsTheFileExceptionWithThePath) {
    TempFolder folder;
    const std::string path = folder / "missing\\page.htm";
    try {
        CTextFile file(path, NEW_FILE);
        FAIL() << "opened a file in a missing folder";
    } catch (const CFileException& e) {
        EXPECT_EQ(CFileException::badPath, e.GetCause());
        EXPECT_EQ(path + " contains an invalid path.", e.GetErrorMessage());
    }
}

TEST(TextFile, FileLockedByAnotherWriterCannotBeOpened) {
    TempFolder folder;
    const std::string path = folder / "page.htm";
    CTextFile first(path, NEW_FILE);
    CTextFile second;
    CFileException error;
    EXPECT_FALSE(second.Open(path, NEW_FILE | CFile::modeNoTruncate, &error));
    EXPECT_EQ(CFileException::sharingViolation, error.GetCause());
}
