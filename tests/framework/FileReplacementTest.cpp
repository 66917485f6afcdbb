#include "framework/CFileReplacement.h"
#include "support/FailingFile.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "support/TestThread.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const std::string OLD_CONTENT = "old content, whole";
const std::string NEW_CONTENT = "new content, longer than the old one";

class FileReplacementTest : public ::testing::Test {
protected:
    void SetUp() override { WriteFileText(m_target, OLD_CONTENT); }

    // Asks for the attributes only: the temporary file is held exclusively while written.
    bool TemporaryFileExists() const {
        return GetFileAttributesA(CFileReplacement::TemporaryPathOf(m_target).c_str()) !=
               INVALID_FILE_ATTRIBUTES;
    }

    unsigned TemporaryFileSize() const {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA(CFileReplacement::TemporaryPathOf(m_target).c_str(),
                             GetFileExInfoStandard, &data);
        return data.nFileSizeLow;
    }

    TempFolder m_folder;
    std::string m_target = m_folder / "data.dat";
};

} // namespace

TEST_F(FileReplacementTest, CommitPutsTheNewContentInPlace) {
    CFileReplacement replacement(m_target);
    ASSERT_TRUE(replacement.Open());
    replacement.GetFile().Write(NEW_CONTENT.data(), static_cast<unsigned>(NEW_CONTENT.size()));
    EXPECT_EQ(OLD_CONTENT, ReadFileText(m_target)); // untouched until the commit
    replacement.Commit();
    EXPECT_EQ(NEW_CONTENT, ReadFileText(m_target));
    EXPECT_FALSE(TemporaryFileExists());
}

TEST_F(FileReplacementTest, CreatesAMissingTarget) {
    const std::string target = m_folder / "new.dat";
    CFileReplacement replacement(target);
    ASSERT_TRUE(replacement.Open());
    replacement.GetFile().Write("x", 1);
    replacement.Commit();
    EXPECT_EQ("x", ReadFileText(target));
}

TEST_F(FileReplacementTest, WithoutCommitTheTargetStaysAndTheTemporaryFileGoes) {
    {
        CFileReplacement replacement(m_target);
        ASSERT_TRUE(replacement.Open());
        replacement.GetFile().Write(NEW_CONTENT.data(), 5);
        EXPECT_TRUE(TemporaryFileExists());
    }
    EXPECT_EQ(OLD_CONTENT, ReadFileText(m_target));
    EXPECT_FALSE(TemporaryFileExists());
}

TEST_F(FileReplacementTest, AWriteFailingHalfWayLeavesTheTargetWhole) {
    {
        CFileReplacement replacement(m_target, FailingFile::DiskFull(10));
        ASSERT_TRUE(replacement.Open());
        try {
            replacement.GetFile().Write(NEW_CONTENT.data(),
                                        static_cast<unsigned>(NEW_CONTENT.size()));
            replacement.Commit();
            FAIL() << "the full disk went unnoticed";
        } catch (const CFileException& e) {
            EXPECT_EQ(CFileException::diskFull, e.GetCause());
        }
        // The half-written file is there, beside the target, until the replacement goes.
        EXPECT_EQ(10u, TemporaryFileSize());
    }
    EXPECT_EQ(OLD_CONTENT, ReadFileText(m_target));
    EXPECT_FALSE(TemporaryFileExists());
}

TEST_F(FileReplacementTest, ATargetThatCannotBeOpenedForWritingIsLeftAlone) {
    const std::string target = m_folder / "folder.dat";
    CreateDirectoryA(target.c_str(), nullptr);
    CFileReplacement replacement(target);
    CFileException error;
    EXPECT_FALSE(replacement.Open(&error));
    EXPECT_EQ(CFileException::accessDenied, error.GetCause());
    EXPECT_FALSE(FileExists(CFileReplacement::TemporaryPathOf(target)));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(target.c_str()));
}

TEST_F(FileReplacementTest, ATargetInUseIsLeftAlone) {
    CFile reader(m_target, CFile::modeRead | CFile::shareDenyWrite);
    CFileReplacement replacement(m_target);
    EXPECT_FALSE(replacement.Open());
    EXPECT_FALSE(TemporaryFileExists());
}

// Someone reading the target while it is replaced: the replacement waits for the reader.
TEST_F(FileReplacementTest, ATargetReadMeanwhileIsReplacedOnceTheReaderLetsGo) {
    CFileReplacement replacement(m_target);
    ASSERT_TRUE(replacement.Open());
    replacement.GetFile().Write(NEW_CONTENT.data(), static_cast<unsigned>(NEW_CONTENT.size()));
    auto reader = std::make_unique<CFile>(m_target, CFile::modeRead | CFile::shareDenyNone);
    TestThread letGo([&reader] {
        Sleep(300);
        reader.reset();
    });
    EXPECT_NO_THROW(replacement.Commit());
    letGo.Join();
    EXPECT_EQ(NEW_CONTENT, ReadFileText(m_target));
    EXPECT_FALSE(TemporaryFileExists());
}

TEST_F(FileReplacementTest, AReaderThatDoesNotLetGoFailsTheCommitInTime) {
    CFileReplacement replacement(m_target);
    ASSERT_TRUE(replacement.Open());
    replacement.GetFile().Write(NEW_CONTENT.data(), static_cast<unsigned>(NEW_CONTENT.size()));
    CFile reader(m_target, CFile::modeRead | CFile::shareDenyNone);
    const DWORD start = GetTickCount();
    EXPECT_THROW(replacement.Commit(), CFileException);
    const DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited + 100, CFileReplacement::TARGET_IN_USE_PATIENCE_MS);
    EXPECT_LT(waited, CFileReplacement::TARGET_IN_USE_PATIENCE_MS + 2000);
    reader.Close();
    EXPECT_EQ(OLD_CONTENT, ReadFileText(m_target));
}

TEST_F(FileReplacementTest, AFolderThatCannotTakeFilesFailsToOpen) {
    CFileReplacement replacement(m_folder / "missing\\data.dat");
    CFileException error;
    EXPECT_FALSE(replacement.Open(&error));
    EXPECT_EQ(CFileException::badPath, error.GetCause());
}

TEST_F(FileReplacementTest, LeftoverOfACrashIsRemoved) {
    const std::string leftover = CFileReplacement::TemporaryPathOf(m_target);
    EXPECT_EQ(m_target + ".tmp", leftover);
    WriteFileText(leftover, "half");
    CFileReplacement::RemoveLeftover(m_target);
    EXPECT_FALSE(FileExists(leftover));
    EXPECT_EQ(OLD_CONTENT, ReadFileText(m_target));
}
