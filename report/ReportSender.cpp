#include "report/ReportSender.h"

#include <winsock2.h>
#include <windows.h>

#include <cstring>

#include "app/Handles.h"
#include "report/MachineId.h"

namespace {

constexpr uint32_t kMagic = 0x6D7AB9C8;
constexpr size_t kVersionOffset = 28;
constexpr size_t kMachineIdOffset = 60;
constexpr size_t kDateOffset = 93;
constexpr size_t kUpdateOffset = 97;

struct SocketTraits {
    using Type = SOCKET;
    static Type Invalid() { return INVALID_SOCKET; }
    static bool Valid(Type s) { return s != INVALID_SOCKET; }
    static void Close(Type s) { ::closesocket(s); }
};
using UniqueSocket = UniqueHandle<SocketTraits>;

// The datagram is little-endian whatever the host order.
void PutLe32(ReportDatagram& d, size_t offset, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) d[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutText(ReportDatagram& d, size_t offset, const std::string& text, size_t max) {
    const size_t n = std::strlen(text.c_str());
    std::memcpy(d.data() + offset, text.data(), n < max ? n : max);
}

}  // namespace

std::string ResolveServerAddress(const std::string& server) {
    const hostent* host = ::gethostbyname(server.c_str());
    if (!host || host->h_addrtype != AF_INET || host->h_length != sizeof(in_addr) ||
        !host->h_addr_list || !host->h_addr_list[0])
        return {};
    in_addr addr;
    std::memcpy(&addr, host->h_addr_list[0], sizeof addr);
    const char* dotted = ::inet_ntoa(addr);
    return dotted ? dotted : "";
}

ReportSender::ReportSender() : ReportSender(ResolveServerAddress, ComputeMachineId) {}

ReportSender::ReportSender(Resolver resolve, IdSource computeId)
    : resolve_(std::move(resolve)), computeId_(std::move(computeId)) {}

int32_t ReportSender::ReportDate(int32_t scriptDate) {
    if (scriptDate == 0) return 0;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return now.wYear * 10000 + now.wMonth * 100 + now.wDay;
}

void ReportSender::Configure(const ReportSettings& s) {
    server_ = std::string(s.server.c_str());
    const std::string version(s.version.c_str());
    version_ = version.substr(0, kMaxVersion);
    port_ = static_cast<uint16_t>(static_cast<uint32_t>(s.port) & 0xFFFF);
    appNumber_ = s.appNumber;
    channel_ = s.channel;
    date_ = s.date;
}

ReportDatagram ReportSender::BuildDatagram(int32_t command, int32_t date, bool update) const {
    ReportDatagram d{};
    PutLe32(d, 0, kMagic);
    PutLe32(d, 4, 0);
    PutLe32(d, 8, 1);
    PutLe32(d, 12, static_cast<uint32_t>(d.size()));
    PutLe32(d, 16, static_cast<uint32_t>(command));
    PutLe32(d, 20, static_cast<uint32_t>(appNumber_));
    PutLe32(d, 24, static_cast<uint32_t>(channel_));
    PutText(d, kVersionOffset, version_, kMaxVersion);
    PutText(d, kMachineIdOffset, machineId_, kMachineIdLength);
    PutLe32(d, kDateOffset, static_cast<uint32_t>(date != 0 ? date : date_));
    d[kUpdateOffset] = update ? 1 : 0;
    return d;
}

void ReportSender::SendReport(int32_t command, int32_t date, bool update) {
    if (server_.empty()) return;
    if (address_.empty()) {
        address_ = resolve_ ? resolve_(server_) : std::string();
        if (address_.empty()) return;  // the next report resolves again
    }
    if (machineId_.empty() && computeId_) machineId_ = computeId_();
    const ReportDatagram d = BuildDatagram(command, date, update);

    UniqueSocket s(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!s) return;
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = ::inet_addr(address_.c_str());
    to.sin_port = ::htons(port_);
    // Fire and forget: the result of the send is not looked at.
    ::sendto(s.get(), reinterpret_cast<const char*>(d.data()), static_cast<int>(d.size()), 0,
             reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

ReportSender& TheReportSender() {
    static ReportSender sender;
    return sender;
}
