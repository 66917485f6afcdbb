#pragma once
// The finished connections, oldest recording first, and their archive form (the file
// "clog.dat"): the record count, then each record's 48-byte image.
#include "log/CConnectionInfo.h"

#include <list>

class CArchive;

using CConnectionList = std::list<CConnectionInfo>;

void StoreConnectionList(CArchive& ar, const CConnectionList& list);

// Appends the records of the archive to the list. A stream that ends before the count is an
// archive end-of-file error. After the count, only complete records are taken: a record cut
// short and the records the count promises beyond the end of the stream are left out, so a
// damaged count never makes up records or memory for them.
void LoadConnectionList(CArchive& ar, CConnectionList& list);
