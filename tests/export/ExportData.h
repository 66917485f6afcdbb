#pragma once
// The data files of the worked example and the CSV the export makes of them (in Berlin).
#include "support/WorkedExampleFile.h"

#include <string>

inline const std::string WORKED_EXAMPLE_CSV =
    "start_utc,start_local,duration_s,received_bytes,sent_bytes\r\n"
    "2002-01-17T10:00:00Z,2002-01-17T11:00:00,3723,1572864,262144\r\n"
    "2002-01-18T10:00:00Z,2002-01-18T11:00:00,60,10000,2000\r\n";
