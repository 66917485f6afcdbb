#include "log/DataFileAccess.h"

#include "framework/FileInUse.h"

std::unique_ptr<CFile> OpenDataFileForReading(const std::string& path,
                                              const CFileReplacement::FileOpener& opener,
                                              CFileException* error) {
    const unsigned flags = CFile::modeRead | CFile::shareDenyWrite;
    std::unique_ptr<CFile> file;
    fw::TryWhileFileInUse(
        [&](CFileException* attemptError) {
            if (opener) {
                file = opener(path, flags, attemptError);
            } else {
                file = std::make_unique<CFile>();
                if (!file->Open(path, flags, attemptError))
                    file.reset();
            }
            return file != nullptr;
        },
        error);
    return file;
}

bool IsMissingFile(const CFileException& error) {
    return error.GetCause() == CFileException::fileNotFound ||
           error.GetCause() == CFileException::badPath;
}

void ReportUnlessInUse(const CException& e) {
    const auto* fileError = dynamic_cast<const CFileException*>(&e);
    if (!fileError || !fw::IsFileInUseError(static_cast<unsigned long>(fileError->GetOsError())))
        e.ReportError();
}
