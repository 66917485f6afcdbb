#pragma once
// The check, once at start-up, that the system's dial-up interface can be used at all.

// Results of CheckRasAvailable besides the number of dial-up devices.
const int RAS_CHECK_MISSING = -1;       // no dial-up interface: the system lacks the update
const int RAS_CHECK_RASMAN_FAILED = -2; // the remote access manager cannot start
const int RAS_CHECK_FAILED = -3;        // any other error

// The number of dial-up devices (0 or more) when the interface works, else one of the above.
int CheckRasAvailable();
