#pragma once
// What the dial-up simulator pretends the system looks like, as read from its state file.
#include <cstdint>
#include <string>

namespace dialup_sim {

enum class RasmanMode { Ok, Fail, Error };

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

    uint32_t ReceivedCounter() const { return static_cast<uint32_t>(received); }
    uint32_t SentCounter() const { return static_cast<uint32_t>(sent); }
};

// One key=value a line (LF or CR LF). Unknown keys, lines without '=' and values that do not
// fit their key are ignored, so a half-edited file still yields a usable state.
SimState ParseSimState(const std::string& text);

} // namespace dialup_sim
