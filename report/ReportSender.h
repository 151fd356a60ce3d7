#pragma once
// The install report: one fire-and-forget UDP datagram per call, carrying the
// application, channel, version, date, update flag and the machine id.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

using ReportDatagram = std::array<uint8_t, 98>;

// What each report call sets; the server address and machine id are kept.
struct ReportSettings {
    std::string server;   // host name or dotted IPv4 address
    std::string version;  // raw bytes; only the first 31 are sent
    int32_t channel = 0;
    int32_t appNumber = 0;
    int32_t port = 0;  // only the low 16 bits count
    int32_t date = 0;  // yyyymmdd or 0
};

class ReportSender {
  public:
    static constexpr size_t kMaxVersion = 31;
    static constexpr size_t kMachineIdLength = 32;

    // Dotted IPv4 text for a server name, or "" when it cannot be resolved.
    using Resolver = std::function<std::string(const std::string& server)>;
    using IdSource = std::function<std::string()>;

    // The platform's name resolution and ComputeMachineId.
    ReportSender();
    ReportSender(Resolver resolve, IdSource computeId);

    void Configure(const ReportSettings& settings);
    // Sends the datagram once; every failure (no server, unresolvable name,
    // no socket, failed send) ends the report silently.
    void SendReport(int32_t command, int32_t date, bool update);
    // The datagram SendReport would send, with the machine id known so far.
    ReportDatagram BuildDatagram(int32_t command, int32_t date, bool update) const;

    const std::string& Address() const { return address_; }
    const std::string& MachineId() const { return machineId_; }
    uint16_t Port() const { return port_; }
    const std::string& Version() const { return version_; }

    // The date a report carries for a script's date: today's (local) date
    // for any non-zero value, 0 for 0.
    static int32_t ReportDate(int32_t scriptDate);

  private:
    Resolver resolve_;
    IdSource computeId_;
    std::string server_;
    std::string address_;    // resolved once, on the first report on its way
    std::string machineId_;  // computed once, after the first resolution
    std::string version_;
    uint16_t port_ = 0;
    int32_t appNumber_ = 0;
    int32_t channel_ = 0;
    int32_t date_ = 0;
};

// The process's report state, kept between script calls.
ReportSender& TheReportSender();

// The first IPv4 address of a name as dotted text, through the sockets
// library's resolver; "" on failure.
std::string ResolveServerAddress(const std::string& server);
