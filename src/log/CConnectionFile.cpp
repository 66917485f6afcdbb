#include "log/CConnectionFile.h"

#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "log/DataFileAccess.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <utility>

namespace {

bool SameRecord(const CConnectionInfo& a, const CConnectionInfo& b) {
    unsigned char imageA[CConnectionInfo::IMAGE_SIZE];
    unsigned char imageB[CConnectionInfo::IMAGE_SIZE];
    a.StoreImage(imageA);
    b.StoreImage(imageB);
    return std::equal(std::begin(imageA), std::end(imageA), std::begin(imageB));
}

// Whether info is among the last count records of list (or of all where it holds fewer).
bool AmongLast(const CConnectionList& list, std::size_t count, const CConnectionInfo& info) {
    const auto from = list.end() - static_cast<std::ptrdiff_t>(std::min(count, list.size()));
    return std::any_of(from, list.end(),
                       [&info](const CConnectionInfo& record) { return SameRecord(record, info); });
}

} // namespace

void CConnectionFile::Queue(const CConnectionInfo& info) {
    m_queued.push_back(info);
    m_use.bValid = m_useOf.bValid = false;
}

void CConnectionFile::QueueUnlessRecorded(const CConnectionInfo& info) {
    m_unsure.push_back(info);
    m_use.bValid = m_useOf.bValid = false;
}

bool CConnectionFile::Load(CConnectionList& list) {
    // The file may have changed behind the log's back (restored from a backup, say).
    m_use.bValid = m_useOf.bValid = false;
    list.clear();
    if (!ReadWhole(list))
        return false;
    // Read at last: what the file lacks of the unsure connections waits with the others.
    CConnectionList missing;
    for (const CConnectionInfo& info : m_unsure)
        if (!AmongLast(list, m_unsure.size(), info))
            missing.push_back(info);
    m_queued.insert(m_queued.begin(), missing.begin(), missing.end());
    m_unsure.clear();
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
    m_use.bValid = m_useOf.bValid = false;
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
    m_unsure.clear();
    Save(CConnectionList());
}

std::optional<CConnectionList> CConnectionFile::LastRecorded(const Wanted& wanted) const {
    return ReadLast(wanted);
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

std::optional<std::vector<bool>> CConnectionFile::Recorded(const CConnectionList& infos) const {
    std::size_t nLeft = infos.size();
    const std::optional<CConnectionList> last =
        ReadLast([&nLeft](const CConnectionInfo&) { return nLeft > 0 ? (--nLeft, true) : false; });
    if (!last)
        return std::nullopt;
    std::vector<bool> recorded;
    for (const CConnectionInfo& info : infos)
        recorded.push_back(AmongLast(*last, infos.size(), info));
    return recorded;
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
    for (const CConnectionInfo& info : m_unsure)
        if (info.m_timeStart >= periodStart &&
            !(recorded && AmongLast(*recorded, recorded->size(), info)))
            nBytes += info.GetUse(bReceivedOnly);
    m_use = {recorded.has_value(), periodStart, bReceivedOnly, nBytes};
    return nBytes;
}

CConnectionList CConnectionFile::ConnectionsSince(TIME64 from) const {
    const auto wanted = [from](const CConnectionInfo& info) { return info.m_timeStart >= from; };
    const std::optional<CConnectionList> recorded = ReadLast(wanted);
    CConnectionList list = recorded.value_or(CConnectionList());
    for (const CConnectionInfo& info : m_unsure)
        if (wanted(info) && !(recorded && AmongLast(*recorded, recorded->size(), info)))
            list.push_back(info);
    std::copy_if(m_queued.begin(), m_queued.end(), std::back_inserter(list), wanted);
    return list;
}

std::int64_t CConnectionFile::UseOf(TIME64 recordStart, bool bReceivedOnly) {
    if (m_useOf.bValid && m_useOf.periodStart == recordStart &&
        m_useOf.bReceivedOnly == bReceivedOnly)
        return m_useOf.nBytes;
    std::int64_t nBytes = 0;
    const std::optional<CConnectionList> recorded = ReadLast(
        [recordStart](const CConnectionInfo& info) { return info.m_timeStart >= recordStart; });
    for (const CConnectionList& list : {recorded.value_or(CConnectionList()), m_unsure, m_queued})
        for (const CConnectionInfo& info : list)
            if (info.m_timeStart == recordStart)
                nBytes = info.GetUse(bReceivedOnly);
    m_useOf = {recorded.has_value(), recordStart, bReceivedOnly, nBytes};
    return nBytes;
}
