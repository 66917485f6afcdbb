#pragma once
// The megabyte text of FormatMegabytes, made without the C library's printing and the system's
// number formatting for the common case, which a report of tens of thousands of rows needs
// three times a row.
#include <cstddef>
#include <cstdint>
#include <string>

class CNumberFormat;

// Appends exactly what FormatMegabytes(bytes, format) returns. Byte counts that are negative
// or beyond 2^48, and formats other than two decimals with groups of 2 to 4 digits or none, go
// through FormatMegabytes itself.
void AppendMegabytes(std::string& text, std::int64_t bytes, const CNumberFormat& format);

// The room PutFastMegabytes may need in format.
std::size_t MegabyteTextRoom(const CNumberFormat& format);
// Writes the text of AppendMegabytes to out, which has MegabyteTextRoom(format) characters of
// room, and returns its end; nullptr, writing nothing, for the byte counts and formats that
// only FormatMegabytes can tell.
char* PutFastMegabytes(char* out, std::int64_t bytes, const CNumberFormat& format);
