#pragma once
// The C library reads the variable TZ in its own form ("CET-1CEST") and takes a value it cannot
// read, such as the zone name "Europe/Berlin" that Wine hands over from Linux (and that
// Unix-like shells on Windows may set), for UTC: every local time would be off by the zone's
// offset. Without the variable it asks the system for the time zone, as it normally does on
// Windows. Both programs apply this at their start, before they form a local time.

// Removes TZ when it holds a zone name or a path (a '/' or a leading ':'); true when it did.
bool ClearUnreadableTimeZoneVariable();
