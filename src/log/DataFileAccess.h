#pragma once
// Reading and writing the log's data files. A file that another program holds for the moment (a
// scanner, a backup, the log's own replacement of it) is waited for a while, and is no fault to
// report: what it kept out is written later.
#include "framework/CFile.h"
#include "framework/CFileException.h"
#include "framework/CFileReplacement.h"

#include <memory>
#include <string>

// The opened file, or none with the reason in error. opener: tests simulate a failing read;
// empty for the system's files.
std::unique_ptr<CFile> OpenDataFileForReading(const std::string& path,
                                              const CFileReplacement::FileOpener& opener,
                                              CFileException* error);

// Shows the error's message unless another program holds the file.
void ReportUnlessInUse(const CException& e);

// Whether the error says the file is not there at all (as against there but unreadable).
bool IsMissingFile(const CFileException& error);
