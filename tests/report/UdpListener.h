#pragma once
// A UDP socket bound to an ephemeral loopback port, for receiving reports.
#include <winsock2.h>

#include <cstdint>
#include <string>

class UdpListener {
  public:
    UdpListener();
    ~UdpListener();
    UdpListener(const UdpListener&) = delete;
    UdpListener& operator=(const UdpListener&) = delete;

    bool ok() const { return socket_ != INVALID_SOCKET && port_ != 0; }
    uint16_t port() const { return port_; }
    // The next datagram; false when none arrives within the (generous)
    // receive limit, which only keeps a broken test from hanging.
    bool Receive(std::string& datagram);

  private:
    SOCKET socket_ = INVALID_SOCKET;
    uint16_t port_ = 0;
};

// Little-endian 32-bit field of a received datagram.
uint32_t Le32(const std::string& d, size_t offset);
