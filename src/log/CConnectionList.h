#pragma once
// The finished connections, oldest recording first, and their archive form (the file
// "clog.dat"): the record count, then each record's 48-byte image.
#include "log/CConnectionInfo.h"

#include <cstdint>
#include <functional>
#include <vector>

class CArchive;
class CFile;

// One block rather than a node per record: a log holds up to 65,535 of them and is read and
// written whole at every recording.
using CConnectionList = std::vector<CConnectionInfo>;

void StoreConnectionList(CArchive& ar, const CConnectionList& list);

// Appends the records of the archive to the list. A stream that ends before the count is an
// archive end-of-file error. After the count, only complete records are taken: a record cut
// short and the records the count promises beyond the end of the stream are left out, so a
// damaged count never makes up records or memory for them. A caller that knows how many bytes
// the stream holds passes them, and room for the records they can hold is made at once, with
// room for nRecordsToAdd more that the caller is going to append.
void LoadConnectionList(CArchive& ar, CConnectionList& list, std::uint64_t nStreamBytes = 0,
                        std::uint32_t nRecordsToAdd = 0);

// The records stored last for which wanted holds, oldest first, read from the end of the file
// without loading the others: the first record from the end that is not wanted ends the
// search. None when the file's length does not fit its count. Errors of the file are thrown.
CConnectionList ReadLastConnections(CFile& file,
                                    const std::function<bool(const CConnectionInfo&)>& wanted);
