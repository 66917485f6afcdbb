#pragma once
// A network device of the Linux kernel for a test that runs in a network namespace of its own
// (tarvolo_add_gtest NETNS): a tun device played by the tun driver (tools/tun-driver), which the
// test asks through a request file and whose reply it waits for, so that every step is done when
// the call returns. Wine's own iphlpapi.dll lists the device under its name, as a stick or a
// phone plugged in would be listed on Windows.
#include <string>

namespace e2e {

class TunDevice {
public:
    TunDevice();
    ~TunDevice(); // removes a device still there, as a stick pulled out
    TunDevice(const TunDevice&) = delete;
    TunDevice& operator=(const TunDevice&) = delete;

    // Whether this test runs beside a tun driver; every request fails where it does not.
    static bool Available();

    // A device NAME, link down, with an IPv4 address of its own and a peer at the other end.
    bool Create(const std::string& name);
    bool SetUp();
    bool SetDown();
    bool Remove();
    // The device receives `packets` IPv4/UDP packets of `bytes` bytes each (headers included).
    bool Receive(unsigned packets, unsigned bytes);
    // This process sends `packets` UDP datagrams of `bytes` bytes each (with their IPv4 and UDP
    // headers) to the peer, out through the device (which must be up).
    bool Send(unsigned packets, unsigned bytes);
    // The kernel's own counts of the device's received and sent bytes.
    bool KernelCounts(unsigned long long& received, unsigned long long& sent) const;

    const std::string& Name() const { return m_name; }
    const std::string& LocalAddress() const { return m_local; }
    const std::string& PeerAddress() const { return m_peer; }
    // Why the last request failed, for the test's message.
    const std::string& Error() const { return m_error; }

private:
    bool Request(const std::string& request);
    bool Fail(const std::string& error);

    std::string m_name;
    std::string m_local;
    std::string m_peer;
    std::string m_error;
};

} // namespace e2e
