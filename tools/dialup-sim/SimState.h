#pragma once
// What the dial-up simulator pretends the system looks like, as read from its state file.
#include <cstdint>
#include <map>
#include <string>

namespace dialup_sim {

enum class RasmanMode { Ok, Fail, Error };
// What PDH_FMT_LONG makes of a count of 2^31 or more.
enum class LongFormat { Cast, Clamp, Error };

// What RasGetConnectStatusA tells of one listed connection.
struct ConnectionStatus {
    enum Kind { Connected, Dialling, Disconnected, Unreadable } kind = Connected;
    uint32_t error = 0; // the call's result when Unreadable
};

// The Wi-Fi side, for the simulated wlanapi.dll.
struct WlanState {
    std::string interfaceName; // alias or {GUID} of the one Wi-Fi interface; empty: none
    std::string ssid;          // the network it is associated to; empty: not associated
    bool serviceRunning = true;
    bool accessDenied = false;  // current connection refused (location permission)
    uint32_t serverVersion = 2; // 1 on Windows XP
};

struct SimState {
    uint32_t connections = 0;
    uint64_t received = 0; // running totals as written; the counters show them modulo 2^32
    uint64_t sent = 0;
    uint32_t devices = 1;
    RasmanMode rasman = RasmanMode::Ok;
    bool notify = true;
    std::string pdhObject = "RAS Total";
    std::string pdhReceived = "Bytes Received";
    std::string pdhSent = "Bytes Transmitted";
    bool collectFails = false;
    std::map<uint32_t, ConnectionStatus> statuses; // by connection number, 1 for the first
    bool enumCountsWritten = false; // 603 reports the entries written (0), not those listed
    uint32_t listLagMs = 0;         // the list shows a change this long after the events
    uint32_t pdhSizeShort = 0;      // enumeration sizes reported this many characters short
    bool counters64 = false;        // byte counters kept in 64 bits instead of 32
    LongFormat longFormat = LongFormat::Cast;
    bool newDataStatus = false; // a changed value carries PDH_CSTATUS_NEW_DATA
    uint32_t rasDelayMs = 0;    // each call of the connection list or a status takes this long
    WlanState wlan;

    uint64_t ReceivedCounter() const { return Shown(received); }
    uint64_t SentCounter() const { return Shown(sent); }
    // The status of connection number n (1 for the first).
    ConnectionStatus StatusOf(uint32_t n) const;
    // Listed connections whose status reads as connected.
    uint32_t ConnectedCount() const;

private:
    uint64_t Shown(uint64_t total) const { return counters64 ? total : total & 0xFFFFFFFFu; }
};

// One key=value a line (LF or CR LF). Unknown keys, lines without '=' and values that do not
// fit their key are ignored, so a half-edited file still yields a usable state.
SimState ParseSimState(const std::string& text);

} // namespace dialup_sim
