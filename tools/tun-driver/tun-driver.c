/*
 * The Linux side of the adapter tests: plays network devices inside the test's own network
 * namespace (see tools/netns-run.sh) on the requests of a test that runs under Wine.
 *
 *   tun-driver FOLDER
 *
 * The test places each request into a file of its own, FOLDER/request.SEQ (whole, by a rename),
 * (SEQ from 1 on) and waits for FOLDER/reply.SEQ, which the driver writes the same way once the
 * request is done; no file is ever replaced, so no reader and writer meet at one name:
 *
 *   create NAME                  a tun device (IFF_TUN, IFF_NO_PI) whose descriptor the driver
 *                                holds, so that the kernel sees its carrier
 *   up NAME | down NAME          the link set up or down
 *   address NAME LOCAL PEER      an IPv4 address and the peer at the other end of the link
 *   receive NAME N S             N IPv4/UDP packets of S bytes each from the peer to the local
 *                                address, written into the descriptor: the device receives them,
 *                                and the driver's discard port takes them (no ICMP answer goes
 *                                back, so the device sends only what the test sends)
 *   remove NAME                  the descriptor closed, and the device gone with it
 *
 * and the reply is "ok" or "error TEXT". What the kernel sends out of a device is read
 * and dropped, so that its queue never fills. FOLDER/ready appears once requests are taken.
 */
#define _GNU_SOURCE
#include <arpa/inet.h>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#define MAX_DEVICES 8
#define MAX_PACKET 65535
#define HEADERS 28 /* IPv4 without options, then UDP */
#define DISCARD_PORT 9

struct device {
    char name[IFNAMSIZ];
    int fd; /* -1: free */
    struct in_addr local, peer;
};

static struct device devices[MAX_DEVICES];
static int discard = -1; /* the UDP socket on DISCARD_PORT that swallows the packets played */
static const char* folder;
static volatile sig_atomic_t ending;
static char reply_text[256];

static int fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(reply_text, sizeof reply_text, format, args);
    va_end(args);
    return -1;
}

static struct device* find_device(const char* name) {
    for (int i = 0; i < MAX_DEVICES; ++i)
        if (devices[i].fd >= 0 && strcmp(devices[i].name, name) == 0)
            return &devices[i];
    return NULL;
}

static int create_device(const char* name) {
    if (strlen(name) >= IFNAMSIZ)
        return fail("name %s too long", name);
    if (find_device(name))
        return fail("%s exists", name);
    struct device* slot = NULL;
    for (int i = 0; i < MAX_DEVICES && !slot; ++i)
        if (devices[i].fd < 0)
            slot = &devices[i];
    if (!slot)
        return fail("more than %d devices", MAX_DEVICES);
    const int fd = open("/dev/net/tun", O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail("/dev/net/tun: %s", strerror(errno));
    struct ifreq request;
    memset(&request, 0, sizeof request);
    request.ifr_flags = IFF_TUN | IFF_NO_PI;
    strncpy(request.ifr_name, name, IFNAMSIZ - 1);
    if (ioctl(fd, TUNSETIFF, &request) < 0) {
        const int error = errno;
        close(fd);
        return fail("TUNSETIFF %s: %s", name, strerror(error));
    }
    memset(slot, 0, sizeof *slot);
    snprintf(slot->name, sizeof slot->name, "%s", name);
    slot->fd = fd;
    /* Until an address is given, the packets played come from and go to documentation
     * addresses (TEST-NET-1): the device counts them all the same. */
    inet_pton(AF_INET, "192.0.2.1", &slot->local);
    inet_pton(AF_INET, "192.0.2.2", &slot->peer);
    return 0;
}

/* An ioctl on the device through a socket of the namespace's IPv4 stack. */
static int device_ioctl(unsigned long command, struct ifreq* request, const char* what) {
    const int sock = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sock < 0)
        return fail("socket: %s", strerror(errno));
    const int result = ioctl(sock, command, request);
    const int error = errno;
    close(sock);
    return result < 0 ? fail("%s %s: %s", what, request->ifr_name, strerror(error)) : 0;
}

static int set_link(struct device* device, int up) {
    struct ifreq request;
    memset(&request, 0, sizeof request);
    snprintf(request.ifr_name, IFNAMSIZ, "%s", device->name);
    if (device_ioctl(SIOCGIFFLAGS, &request, "SIOCGIFFLAGS") < 0)
        return -1;
    if (up)
        request.ifr_flags |= IFF_UP;
    else
        request.ifr_flags &= ~IFF_UP;
    return device_ioctl(SIOCSIFFLAGS, &request, "SIOCSIFFLAGS");
}

static int set_address_field(struct device* device, unsigned long command, struct in_addr value,
                             const char* what) {
    struct ifreq request;
    memset(&request, 0, sizeof request);
    snprintf(request.ifr_name, IFNAMSIZ, "%s", device->name);
    struct sockaddr_in* address = (struct sockaddr_in*)&request.ifr_addr;
    address->sin_family = AF_INET;
    address->sin_addr = value;
    return device_ioctl(command, &request, what);
}

static int set_address(struct device* device, const char* local, const char* peer) {
    struct in_addr localAddress, peerAddress, host;
    if (inet_pton(AF_INET, local, &localAddress) != 1 ||
        inet_pton(AF_INET, peer, &peerAddress) != 1)
        return fail("bad address %s or %s", local, peer);
    inet_pton(AF_INET, "255.255.255.255", &host);
    if (set_address_field(device, SIOCSIFADDR, localAddress, "SIOCSIFADDR") < 0 ||
        set_address_field(device, SIOCSIFNETMASK, host, "SIOCSIFNETMASK") < 0 ||
        set_address_field(device, SIOCSIFDSTADDR, peerAddress, "SIOCSIFDSTADDR") < 0)
        return -1;
    device->local = localAddress;
    device->peer = peerAddress;
    return 0;
}

static uint16_t checksum(const uint8_t* data, size_t length) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < length; i += 2)
        sum += (uint32_t)data[i] << 8 | data[i + 1];
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return (uint16_t)~sum;
}

/* A UDP datagram from the peer's discard port to the local one, without a UDP checksum. */
static void build_packet(const struct device* device, uint8_t* packet, size_t size) {
    memset(packet, 0, size);
    packet[0] = 0x45;
    packet[2] = (uint8_t)(size >> 8);
    packet[3] = (uint8_t)size;
    packet[8] = 64;          /* time to live */
    packet[9] = IPPROTO_UDP; /* protocol */
    memcpy(packet + 12, &device->peer, 4);
    memcpy(packet + 16, &device->local, 4);
    const uint16_t sum = checksum(packet, 20);
    packet[10] = (uint8_t)(sum >> 8);
    packet[11] = (uint8_t)sum;
    uint8_t* udp = packet + 20;
    udp[0] = udp[2] = DISCARD_PORT >> 8;
    udp[1] = udp[3] = DISCARD_PORT & 0xFF;
    udp[4] = (uint8_t)((size - 20) >> 8);
    udp[5] = (uint8_t)(size - 20);
}

static int receive_packets(const struct device* device, long count, long size) {
    static uint8_t packet[MAX_PACKET];
    if (count < 0 || size < HEADERS || size > MAX_PACKET)
        return fail("bad count %ld or size %ld", count, size);
    build_packet(device, packet, (size_t)size);
    for (long i = 0; i < count; ++i) {
        const ssize_t written = write(device->fd, packet, (size_t)size);
        if (written != size)
            return fail("write %s: packet %ld of %ld: %s", device->name, i + 1, count,
                        written < 0 ? strerror(errno) : "short write");
    }
    return 0;
}

static int remove_device(struct device* device) {
    close(device->fd);
    device->fd = -1;
    /* The kernel unregisters a device without a descriptor before close returns; a device
     * still there would be one made persistent by someone else. */
    struct ifreq request;
    memset(&request, 0, sizeof request);
    snprintf(request.ifr_name, IFNAMSIZ, "%s", device->name);
    if (device_ioctl(SIOCGIFINDEX, &request, "SIOCGIFINDEX") == 0)
        return fail("%s still there after its descriptor was closed", device->name);
    return 0;
}

static int execute(char* line) {
    char* words[6] = {0};
    int count = 0;
    for (char* word = strtok(line, " \t\r\n"); word && count < 6; word = strtok(NULL, " \t\r\n"))
        words[count++] = word;
    if (count < 2)
        return fail("empty request");
    const char* command = words[0];
    if (strcmp(command, "create") == 0)
        return create_device(words[1]);
    struct device* device = find_device(words[1]);
    if (!device)
        return fail("no device %s", words[1]);
    if (strcmp(command, "up") == 0 || strcmp(command, "down") == 0)
        return set_link(device, strcmp(command, "up") == 0);
    if (strcmp(command, "address") == 0 && count == 4)
        return set_address(device, words[2], words[3]);
    if (strcmp(command, "receive") == 0 && count == 4)
        return receive_packets(device, strtol(words[2], NULL, 10), strtol(words[3], NULL, 10));
    if (strcmp(command, "remove") == 0)
        return remove_device(device);
    return fail("unknown request %s", command);
}

static void write_file(const char* name, const char* text) {
    char temporary[4096], path[4096];
    snprintf(temporary, sizeof temporary, "%s/%s.new", folder, name);
    snprintf(path, sizeof path, "%s/%s", folder, name);
    FILE* file = fopen(temporary, "w");
    if (!file) {
        perror(temporary);
        return;
    }
    fputs(text, file);
    fclose(file);
    if (rename(temporary, path) < 0)
        perror(path);
}

static void serve_request(const char* name) {
    char path[4096], line[512] = "";
    snprintf(path, sizeof path, "%s/%s", folder, name);
    FILE* file = fopen(path, "r");
    if (!file)
        return;
    const int read = fgets(line, sizeof line, file) != NULL;
    fclose(file);
    if (!read)
        return;
    reply_text[0] = '\0';
    const int result = execute(line);
    char reply_name[64], reply[512];
    snprintf(reply_name, sizeof reply_name, "reply.%s", name + strlen("request."));
    if (result == 0)
        snprintf(reply, sizeof reply, "ok\n");
    else
        snprintf(reply, sizeof reply, "error %s\n", reply_text);
    write_file(reply_name, reply);
}

/* Every request placed and not served yet, in the order of their numbers. A request stays in the
 * folder: Wine looks at a file again after it renamed it, and reports a failed rename when the
 * file is gone by then. */
static void serve_requests(void) {
    static long served = 0;
    for (;;) {
        DIR* directory = opendir(folder);
        if (!directory)
            return;
        char first[256] = "";
        long lowest = -1;
        for (struct dirent* entry = readdir(directory); entry; entry = readdir(directory)) {
            char* end = NULL;
            if (strncmp(entry->d_name, "request.", 8) != 0)
                continue;
            const long number = strtol(entry->d_name + 8, &end, 10);
            if (*end == '\0' && end != entry->d_name + 8 && number > served &&
                (lowest < 0 || number < lowest)) {
                lowest = number;
                snprintf(first, sizeof first, "%s", entry->d_name);
            }
        }
        closedir(directory);
        if (lowest < 0)
            return;
        served = lowest;
        serve_request(first);
    }
}

static void drain(struct device* device) {
    static uint8_t buffer[MAX_PACKET];
    while (read(device->fd, buffer, sizeof buffer) > 0) {
    }
}

static void drain_socket(void) {
    static uint8_t buffer[MAX_PACKET];
    while (recv(discard, buffer, sizeof buffer, 0) >= 0) {
    }
}

static int open_discard_port(void) {
    discard = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    struct sockaddr_in address;
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(DISCARD_PORT);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    return discard >= 0 && bind(discard, (struct sockaddr*)&address, sizeof address) == 0 ? 0 : -1;
}

static void on_signal(int signal) {
    (void)signal;
    ending = 1;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: tun-driver FOLDER\n");
        return 2;
    }
    folder = argv[1];
    for (int i = 0; i < MAX_DEVICES; ++i)
        devices[i].fd = -1;
    signal(SIGTERM, on_signal);
    signal(SIGINT, on_signal);
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch < 0 || inotify_add_watch(watch, folder, IN_MOVED_TO | IN_CLOSE_WRITE) < 0) {
        perror(folder);
        return 1;
    }
    if (open_discard_port() < 0) {
        perror("discard port");
        return 1;
    }
    write_file("ready", "ready\n");
    serve_requests(); /* those placed before the watch began */
    while (!ending) {
        struct pollfd fds[MAX_DEVICES + 2];
        struct device* owners[MAX_DEVICES + 2];
        nfds_t count = 0;
        fds[count].fd = watch;
        fds[count].events = POLLIN;
        owners[count++] = NULL;
        fds[count].fd = discard;
        fds[count].events = POLLIN;
        owners[count++] = NULL;
        for (int i = 0; i < MAX_DEVICES; ++i) {
            if (devices[i].fd < 0)
                continue;
            fds[count].fd = devices[i].fd;
            fds[count].events = POLLIN;
            owners[count++] = &devices[i];
        }
        if (poll(fds, count, -1) < 0)
            continue;
        if (fds[1].revents)
            drain_socket();
        for (nfds_t i = 2; i < count; ++i)
            if (fds[i].revents && owners[i]->fd >= 0)
                drain(owners[i]);
        if (fds[0].revents & POLLIN) {
            char events[4096];
            while (read(watch, events, sizeof events) > 0) {
            }
            serve_requests();
        }
    }
    return 0;
}
