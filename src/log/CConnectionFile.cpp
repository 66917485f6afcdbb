#include "log/CConnectionFile.h"

#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "log/DataFileAccess.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

void CConnectionFile::Queue(const CConnectionInfo& info) {
    m_queued.push_back(info);
    m_use.bValid = false;
}

bool CConnectionFile::Load(CConnectionList& list) {
    // The file may have changed behind the log's back (restored from a backup, say).
    m_use.bValid = false;
    list.clear();
    if (!ReadWhole(list))
        return false;
    list.insert(list.end(), m_queued.begin(), m_queued.end());
    return true;
}

// A record cut short or a count that promises more than is there is damage that no later read
// mends, so the complete records count as all there is.
bool CConnectionFile::ReadWhole(CConnectionList& list) const {
    CFileException error;
    const std::unique_ptr<CFile> file = OpenDataFileForReading(m_strPath, m_opener, &error);
    if (!file)
        return IsMissingFile(error);
    try {
        CArchive archive(*file, CArchive::load, CArchive::DEFAULT_BUFFER_SIZE);
        // With room for the connections that wait, so that adding them does not move the list.
        LoadConnectionList(archive, list, file->GetLength(),
                           static_cast<std::uint32_t>(m_queued.size()));
    } catch (const CArchiveException& e) {
        e.ReportError();
        return e.GetCause() == CArchiveException::endOfFile;
    } catch (const CFileException& e) {
        e.ReportError();
        return e.GetCause() == CFileException::endOfFile;
    } catch (const CException& e) {
        e.ReportError();
        return false;
    }
    return true;
}

bool CConnectionFile::Save(const CConnectionList& list) {
    m_use.bValid = false;
    CFileReplacement replacement(m_strPath, m_opener);
    if (!replacement.Open())
        return false;
    try {
        CArchive archive(replacement.GetFile(), CArchive::store, CArchive::DEFAULT_BUFFER_SIZE);
        StoreConnectionList(archive, list);
        archive.Close();
        replacement.Commit();
    } catch (const CException& e) {
        ReportUnlessInUse(e);
        return false;
    }
    m_queued.clear();
    return true;
}

void CConnectionFile::Clear() {
    m_queued.clear();
    Save(CConnectionList());
}

CConnectionList CConnectionFile::LastRecorded(const Wanted& wanted) const {
    return ReadLast(wanted).value_or(CConnectionList());
}

// None where the file is there but cannot be read; a missing file holds no records.
std::optional<CConnectionList> CConnectionFile::ReadLast(const Wanted& wanted) const {
    CFileException error;
    const std::unique_ptr<CFile> file = OpenDataFileForReading(m_strPath, m_opener, &error);
    if (!file) {
        if (IsMissingFile(error))
            return CConnectionList();
        return std::nullopt;
    }
    try {
        return ReadLastConnections(*file, wanted);
    } catch (const CException&) {
        return std::nullopt;
    }
}

bool CConnectionFile::EndsWith(const CConnectionInfo& info) const {
    bool bFirst = true;
    const CConnectionList last =
        LastRecorded([&bFirst](const CConnectionInfo&) { return std::exchange(bFirst, false); });
    if (last.empty())
        return false;
    unsigned char a[CConnectionInfo::IMAGE_SIZE];
    unsigned char b[CConnectionInfo::IMAGE_SIZE];
    last.back().StoreImage(a);
    info.StoreImage(b);
    return std::equal(std::begin(a), std::end(a), std::begin(b));
}

// A sum that lacks the file's records is not kept: the next call reads the file again, and the
// volume limit's warnings come once it can be read.
std::int64_t CConnectionFile::UseSince(TIME64 periodStart, bool bReceivedOnly) {
    if (m_use.bValid && m_use.periodStart == periodStart && m_use.bReceivedOnly == bReceivedOnly)
        return m_use.nBytes;
    std::int64_t nBytes = 0;
    for (const CConnectionInfo& info : m_queued)
        if (info.m_timeStart >= periodStart)
            nBytes += info.GetUse(bReceivedOnly);
    // The file holds the connections in the order they ended, so those of the period are at its
    // end.
    const std::optional<CConnectionList> recorded = ReadLast(
        [periodStart](const CConnectionInfo& info) { return info.m_timeStart >= periodStart; });
    for (const CConnectionInfo& info : recorded.value_or(CConnectionList()))
        nBytes += info.GetUse(bReceivedOnly);
    m_use = {recorded.has_value(), periodStart, bReceivedOnly, nBytes};
    return nBytes;
}
