#include "SimState.h"

#include <cctype>
#include <limits>

namespace dialup_sim {
namespace {

std::string Trim(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first])))
        ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1])))
        --last;
    return text.substr(first, last - first);
}

// Decimal digits only; no sign, no overflow.
bool ParseUnsigned(const std::string& text, uint64_t max, uint64_t& value) {
    if (text.empty())
        return false;
    uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (result > (max - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

void SetCount(const std::string& value, uint32_t& field) {
    uint64_t parsed;
    if (ParseUnsigned(value, std::numeric_limits<uint32_t>::max(), parsed))
        field = static_cast<uint32_t>(parsed);
}

void SetTotal(const std::string& value, uint64_t& field) {
    ParseUnsigned(value, std::numeric_limits<uint64_t>::max(), field);
}

void SetRasman(const std::string& value, RasmanMode& field) {
    if (value == "ok")
        field = RasmanMode::Ok;
    else if (value == "fail")
        field = RasmanMode::Fail;
    else if (value == "error")
        field = RasmanMode::Error;
}

void SetFlag(const std::string& value, const char* on, const char* off, bool& field) {
    if (value == on)
        field = true;
    else if (value == off)
        field = false;
}

void SetStatus(const std::string& value, ConnectionStatus& field) {
    uint64_t error;
    if (value == "connected")
        field = {ConnectionStatus::Connected, 0};
    else if (value == "dialling")
        field = {ConnectionStatus::Dialling, 0};
    else if (value == "disconnected")
        field = {ConnectionStatus::Disconnected, 0};
    else if (ParseUnsigned(value, std::numeric_limits<uint32_t>::max(), error) && error != 0)
        field = {ConnectionStatus::Unreadable, static_cast<uint32_t>(error)};
}

void SetLongFormat(const std::string& value, LongFormat& field) {
    if (value == "cast")
        field = LongFormat::Cast;
    else if (value == "clamp")
        field = LongFormat::Clamp;
    else if (value == "error")
        field = LongFormat::Error;
}

// "connectionN" with N from 1 on names one connection's status.
bool IsStatusKey(const std::string& key, uint32_t& number) {
    const std::string prefix = "connection";
    uint64_t parsed;
    if (key.compare(0, prefix.size(), prefix) != 0 ||
        !ParseUnsigned(key.substr(prefix.size()), std::numeric_limits<uint32_t>::max(), parsed) ||
        parsed == 0)
        return false;
    number = static_cast<uint32_t>(parsed);
    return true;
}

void ApplyWlan(const std::string& key, const std::string& value, WlanState& wlan) {
    if (key == "wlan_interface")
        wlan.interfaceName = value;
    else if (key == "wlan_ssid")
        wlan.ssid = value.substr(0, 32); // the longest SSID
    else if (key == "wlan_service")
        SetFlag(value, "running", "stopped", wlan.serviceRunning);
    else if (key == "wlan_access")
        SetFlag(value, "denied", "ok", wlan.accessDenied);
    else if (key == "wlan_version") {
        uint32_t version = 0;
        SetCount(value, version);
        if (version == 1 || version == 2)
            wlan.serverVersion = version;
    }
}

void ApplyBehaviour(const std::string& key, const std::string& value, SimState& state) {
    uint32_t number;
    if (IsStatusKey(key, number))
        SetStatus(value, state.statuses[number]);
    else if (key == "enum_count")
        SetFlag(value, "written", "all", state.enumCountsWritten);
    else if (key == "list_lag_ms")
        SetCount(value, state.listLagMs);
    else if (key == "pdh_size_short")
        SetCount(value, state.pdhSizeShort);
    else if (key == "counter_bits")
        SetFlag(value, "64", "32", state.counters64);
    else if (key == "pdh_long")
        SetLongFormat(value, state.longFormat);
    else if (key == "pdh_cstatus")
        SetFlag(value, "new", "valid", state.newDataStatus);
    else if (key == "ras_delay_ms")
        SetCount(value, state.rasDelayMs);
    else if (key.compare(0, 5, "wlan_") == 0)
        ApplyWlan(key, value, state.wlan);
}

void Apply(const std::string& key, const std::string& value, SimState& state) {
    if (key == "connections")
        SetCount(value, state.connections);
    else if (key == "received")
        SetTotal(value, state.received);
    else if (key == "sent")
        SetTotal(value, state.sent);
    else if (key == "devices")
        SetCount(value, state.devices);
    else if (key == "rasman")
        SetRasman(value, state.rasman);
    else if (key == "notify")
        SetFlag(value, "1", "0", state.notify);
    else if (key == "collect") {
        bool ok = !state.collectFails;
        SetFlag(value, "ok", "fail", ok);
        state.collectFails = !ok;
    } else if (key == "pdh_object")
        state.pdhObject = value;
    else if (key == "pdh_received")
        state.pdhReceived = value;
    else if (key == "pdh_sent")
        state.pdhSent = value;
    else
        ApplyBehaviour(key, value, state);
}

} // namespace

ConnectionStatus SimState::StatusOf(uint32_t n) const {
    const auto it = statuses.find(n);
    return it == statuses.end() ? ConnectionStatus() : it->second;
}

uint32_t SimState::ConnectedCount() const {
    uint32_t count = connections;
    for (const auto& entry : statuses) {
        if (entry.first <= connections && entry.second.kind != ConnectionStatus::Connected)
            --count;
    }
    return count;
}

SimState ParseSimState(const std::string& text) {
    SimState state;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        const size_t equals = line.find('=');
        if (equals != std::string::npos)
            Apply(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), state);
        start = end + 1;
    }
    return state;
}

} // namespace dialup_sim
