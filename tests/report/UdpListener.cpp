#include "UdpListener.h"

UdpListener::UdpListener() {
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    socket_ = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (socket_ == INVALID_SOCKET) return;
    // Programs the test starts must not hold the listener open.
    ::SetHandleInformation(reinterpret_cast<HANDLE>(socket_), HANDLE_FLAG_INHERIT, 0);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(socket_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return;
    int len = sizeof addr;
    if (::getsockname(socket_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return;
    port_ = ::ntohs(addr.sin_port);
    DWORD limitMs = 20000;
    ::setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limitMs),
                 sizeof limitMs);
}

UdpListener::~UdpListener() {
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
    ::WSACleanup();
}

bool UdpListener::Receive(std::string& datagram) {
    char buffer[2048];
    const int n = ::recv(socket_, buffer, sizeof buffer, 0);
    if (n < 0) return false;
    datagram.assign(buffer, static_cast<size_t>(n));
    return true;
}

uint32_t Le32(const std::string& d, size_t offset) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4 && offset + i < d.size(); ++i)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(d[offset + i])) << (8 * i);
    return v;
}
