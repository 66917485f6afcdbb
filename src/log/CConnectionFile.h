#pragma once
// The single connections and their file "clog.dat", oldest recording first: reading and
// replacing it, and the connections it could not take yet.
//
// A connection the file cannot take for the moment (held by another program, no room for its
// temporary file) waits in memory and goes in with the next save. A file that is there but
// cannot be read in full is never replaced by a shorter list: its connections would be lost.
#include "framework/CFileReplacement.h"
#include "log/CConnectionList.h"
#include "log/Clock.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CConnectionFile {
public:
    using Wanted = std::function<bool(const CConnectionInfo&)>;

    void SetPath(const std::string& path) { m_strPath = path; }
    const std::string& GetPath() const { return m_strPath; }
    // Opens "clog.dat" for reading and its temporary file for writing; tests simulate a full
    // disk or a failing read.
    void SetFileOpener(CFileReplacement::FileOpener opener) { m_opener = std::move(opener); }

    // The connection waits in memory until a save puts it into the file.
    void Queue(const CConnectionInfo& info);
    // The same, unless the file holds it among its last records when it is next read: where the
    // file could not be read, nobody knows yet whether it took the connection before a kill.
    void QueueUnlessRecorded(const CConnectionInfo& info);
    bool IsUnsaved() const { return !m_queued.empty() || !m_unsure.empty(); }

    // The file's connections and after them those waiting in memory. False when the file is
    // there but was not read in full: the list is then no replacement for it. Errors are
    // reported; a missing file is an empty log.
    bool Load(CConnectionList& list);
    // Replaces the file with the list in one step; true when the file holds it now, and then
    // nothing waits in memory any more.
    bool Save(const CConnectionList& list);
    // Empties the file and drops what waits in memory.
    void Clear();

    // The records at the end of the file up to the first one not wanted, oldest first; none
    // where the file is there but cannot be read (reported when it is loaded), an empty list
    // where it is missing.
    std::optional<CConnectionList> LastRecorded(const Wanted& wanted) const;
    // For each of the connections whether the file holds it, to the byte, among as many records
    // at its end as there are connections; none where the file is there but cannot be read.
    std::optional<std::vector<bool>> Recorded(const CConnectionList& infos) const;

    // The bytes of the connections that began at or after periodStart, those waiting in memory
    // included: those received, or those received and sent. Read from the end of the file once
    // per change of the log, not at every call, unless the file could not be read.
    std::int64_t UseSince(TIME64 periodStart, bool bReceivedOnly);
    // The bytes of the connection that began at recordStart, as UseSince counts them; 0 where
    // there is none. Read once per change of the log, as UseSince.
    std::int64_t UseOf(TIME64 recordStart, bool bReceivedOnly);
    // The connections that began at or after from, as UseSince counts them: those at the end of
    // the file and those waiting in memory. Read anew at every call.
    CConnectionList ConnectionsSince(TIME64 from) const;

private:
    bool ReadWhole(CConnectionList& list) const;
    std::optional<CConnectionList> ReadLast(const Wanted& wanted) const;

    std::string m_strPath;
    CFileReplacement::FileOpener m_opener;
    CConnectionList m_queued; // finished connections that the file has not taken yet
    CConnectionList m_unsure; // queued ahead of those unless the file turns out to hold them
    // UseSince's sum and UseOf's bytes, for the start and kind they were asked for.
    struct UseCache {
        bool bValid = false;
        TIME64 periodStart = 0;
        bool bReceivedOnly = false;
        std::int64_t nBytes = 0;
    } m_use, m_useOf;
};
