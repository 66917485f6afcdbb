#pragma once
// The file "clog.dat" of the worked example of the record format, byte for byte.
#include "support/FileBytes.h"

// Two connections: 2002-01-17 10:00:00 UTC for 3,723 s with 1,572,864 received and 262,144
// sent, and 2002-01-18 10:00:00 UTC for 60 s with 10,000 received and 2,000 sent.
inline const Bytes WORKED_EXAMPLE = {
    0x02, 0x00,                                                             // count 2
    0x18, 0xEA, 0x42, 0x00,                                                 // record 1: tag
    0xA0, 0xA0, 0x46, 0x3C,                                                 // start
    0x8B, 0x0E, 0x00, 0x00,                                                 // duration 3,723
    0x00, 0x00, 0x00, 0x00,                                                 // padding
    0x00, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00,                         // received 1,572,864
    0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00,                         // sent 262,144
    0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0, // start readings
    0x18, 0xEA, 0x42, 0x00,                                                 // record 2: tag
    0x20, 0xF2, 0x47, 0x3C,                                                 // start
    0x3C, 0x00, 0x00, 0x00,                                                 // duration 60
    0x00, 0x00, 0x00, 0x00,                                                 // padding
    0x10, 0x27, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                         // received 10,000
    0xD0, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                         // sent 2,000
    0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0, // start readings
};
