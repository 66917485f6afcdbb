#include "TunDevice.h"

#include "E2ePaths.h"

#include <winsock2.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace e2e {
namespace {

const DWORD kAnswerPatienceMs = 5000;
const unsigned kHeaderBytes = 28; // IPv4 without options, then UDP
const unsigned short kDiscardPort = 9;

// The driver's request folder as this Windows program sees it; empty outside a namespace test.
std::string ControlFolder() {
    char value[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA("TARVOLO_TUN_CONTROL", value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? WindowsPath(value) : std::string();
}

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return file.good() || file.eof();
}

bool ReadCount(const std::string& path, unsigned long long& count) {
    std::ifstream file(path);
    return static_cast<bool>(file >> count);
}

// Each device of a run gets a network of its own, so that two of them never share a route.
void NextAddresses(std::string& local, std::string& peer) {
    static unsigned network = 0;
    const std::string prefix = "10.77." + std::to_string(++network % 256) + ".";
    local = prefix + "1";
    peer = prefix + "2";
}

class WinsockUse {
public:
    WinsockUse() {
        WSADATA data;
        m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockUse() {
        if (m_started)
            WSACleanup();
    }
    WinsockUse(const WinsockUse&) = delete;
    WinsockUse& operator=(const WinsockUse&) = delete;
    bool Started() const { return m_started; }

private:
    bool m_started = false;
};

class UdpSocket {
public:
    UdpSocket() : m_socket(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)) {}
    ~UdpSocket() {
        if (m_socket != INVALID_SOCKET)
            closesocket(m_socket);
    }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    SOCKET Get() const { return m_socket; }

private:
    SOCKET m_socket;
};

} // namespace

TunDevice::TunDevice() = default;

TunDevice::~TunDevice() {
    if (!m_name.empty())
        Remove();
}

bool TunDevice::Available() {
    return !ControlFolder().empty();
}

bool TunDevice::Create(const std::string& name) {
    std::string local, peer;
    NextAddresses(local, peer);
    if (!Request("create " + name))
        return false;
    m_name = name;
    if (!Request("address " + name + " " + local + " " + peer))
        return false;
    m_local = local;
    m_peer = peer;
    return true;
}

bool TunDevice::SetUp() {
    return Request("up " + m_name);
}

bool TunDevice::SetDown() {
    return Request("down " + m_name);
}

bool TunDevice::Remove() {
    if (!Request("remove " + m_name))
        return false;
    m_name.clear();
    return true;
}

bool TunDevice::Receive(unsigned packets, unsigned bytes) {
    return Request("receive " + m_name + " " + std::to_string(packets) + " " +
                   std::to_string(bytes));
}

bool TunDevice::Send(unsigned packets, unsigned bytes) {
    if (bytes < kHeaderBytes)
        return Fail("a datagram has at least its " + std::to_string(kHeaderBytes) +
                    " header bytes");
    WinsockUse winsock;
    UdpSocket udp;
    if (!winsock.Started() || udp.Get() == INVALID_SOCKET)
        return Fail("no UDP socket: " + std::to_string(WSAGetLastError()));
    sockaddr_in peer = {};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(kDiscardPort);
    peer.sin_addr.s_addr = inet_addr(m_peer.c_str());
    const std::vector<char> payload(bytes - kHeaderBytes, 'x');
    for (unsigned i = 0; i < packets; ++i) {
        const int sent = sendto(udp.Get(), payload.data(), static_cast<int>(payload.size()), 0,
                                reinterpret_cast<const sockaddr*>(&peer), sizeof peer);
        if (sent != static_cast<int>(payload.size()))
            return Fail("sendto " + m_peer + " failed: " + std::to_string(WSAGetLastError()));
    }
    return true;
}

bool TunDevice::KernelCounts(unsigned long long& received, unsigned long long& sent) const {
    const std::string statistics = WindowsPath("/sys/class/net/" + m_name + "/statistics/");
    return ReadCount(statistics + "rx_bytes", received) && ReadCount(statistics + "tx_bytes", sent);
}

bool TunDevice::Fail(const std::string& error) {
    m_error = error;
    return false;
}

// Each request and its reply have files of their own: no name is ever replaced or reused, so
// the driver and this process never meet at a file the other has open.
bool TunDevice::Request(const std::string& request) {
    static unsigned sequence = 0;
    const std::string folder = ControlFolder();
    if (folder.empty())
        return Fail("no tun driver: TARVOLO_TUN_CONTROL is not set (a NETNS test only)");
    const std::string number = std::to_string(++sequence);
    const std::string path = folder + "\\request." + number;
    const std::string reply = folder + "\\reply." + number;
    {
        std::ofstream file(path + ".new", std::ios::binary | std::ios::trunc);
        file << request << '\n';
        if (!file.flush())
            return Fail("could not write " + path);
    }
    if (!MoveFileA((path + ".new").c_str(), path.c_str()))
        return Fail("could not place " + path + ": error " + std::to_string(GetLastError()));
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(reply.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start >= kAnswerPatienceMs)
            return Fail("the tun driver did not answer \"" + request + "\"");
        Sleep(1);
    }
    std::string answer;
    ReadText(reply, answer);
    DeleteFileA(reply.c_str());
    if (answer != "ok\n")
        return Fail("\"" + request + "\": " + answer);
    return true;
}

} // namespace e2e
