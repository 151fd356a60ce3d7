// The report datagram byte for byte, and when a report is (not) on its way.
#include <gtest/gtest.h>

#include <string>

#include "UdpListener.h"
#include "report/ReportSender.h"

namespace {

const std::string kFakeId = "0123456789abcdef0123456789abcdef";

// A sender whose name resolution and id computation are counted; names
// resolve to loopback unless they are listed as unresolvable.
struct CountingSender {
    int resolves = 0;
    int ids = 0;
    std::string unresolvable = "no.such.host";
    ReportSender sender{[this](const std::string& server) {
                            ++resolves;
                            return server == unresolvable ? std::string() : "127.0.0.1";
                        },
                        [this] {
                            ++ids;
                            return kFakeId;
                        }};
};

ReportSettings Settings(uint16_t port) {
    ReportSettings s;
    s.server = "report.local";
    s.version = "1.0.0.2";
    s.channel = 1001;
    s.appNumber = 108;
    s.port = port;
    s.date = 20240229;
    return s;
}

std::string Bytes(const ReportDatagram& d) { return std::string(d.begin(), d.end()); }

TEST(ReportDatagram, LayoutIsExact) {
    ReportSender sender([](const std::string&) { return std::string("127.0.0.1"); },
                        [] { return kFakeId; });
    ReportSettings s = Settings(8700);
    s.channel = -2;  // sent as its two's complement bytes
    sender.Configure(s);
    const std::string d = Bytes(sender.BuildDatagram(1, 0, true));

    std::string expected(98, '\0');
    const unsigned char head[] = {0xC8, 0xB9, 0x7A, 0x6D, 0,    0,    0,    0,   1, 0,
                                  0,    0,    0x62, 0,    0,    0,    1,    0,   0, 0,
                                  108,  0,    0,    0,    0xFE, 0xFF, 0xFF, 0xFF};
    expected.replace(0, sizeof head, reinterpret_cast<const char*>(head), sizeof head);
    expected.replace(28, 7, "1.0.0.2");
    // The id is known only once a report has been on its way.
    const unsigned char tail[] = {0x65, 0xD7, 0x34, 0x01, 1};  // 20240229, update
    expected.replace(93, sizeof tail, reinterpret_cast<const char*>(tail), sizeof tail);
    EXPECT_EQ(d, expected);

    UdpListener listener;
    ASSERT_TRUE(listener.ok());
    s.port = listener.port();
    sender.Configure(s);
    sender.SendReport(1, 0, true);
    std::string got;
    ASSERT_TRUE(listener.Receive(got));
    expected.replace(60, 32, kFakeId);
    EXPECT_EQ(got, expected);
}

TEST(ReportDatagram, VersionIsCutTo31BytesAndTerminated) {
    const struct {
        std::string version;
        std::string sent;
    } cases[] = {
        {std::string(40, 'v'), std::string(31, 'v')}, {std::string(31, 'w'), std::string(31, 'w')},
        {std::string(32, 'x'), std::string(31, 'x')}, {"", ""},
        {std::string("1.0\0junk", 8), "1.0"},
    };
    for (const auto& c : cases) {
        ReportSender sender(nullptr, nullptr);
        ReportSettings s = Settings(1);
        s.version = c.version;
        sender.Configure(s);
        const std::string d = Bytes(sender.BuildDatagram(1, 0, false));
        EXPECT_EQ(d.substr(28, 32), c.sent + std::string(32 - c.sent.size(), '\0'))
            << c.version.size();
    }
}

TEST(ReportDatagram, PortKeepsItsLow16Bits) {
    const struct {
        int32_t port;
        uint16_t used;
    } cases[] = {{8700, 8700}, {70000, 4464}, {65536, 0}, {-1, 65535}, {0x12345678, 0x5678}};
    for (const auto& c : cases) {
        ReportSender sender(nullptr, nullptr);
        ReportSettings s = Settings(0);
        s.port = c.port;
        sender.Configure(s);
        EXPECT_EQ(sender.Port(), c.used) << c.port;
    }
}

TEST(ReportDatagram, DateAndUpdateFlag) {
    ReportSender sender(nullptr, nullptr);
    ReportSettings s = Settings(1);
    s.date = 0;
    sender.Configure(s);
    EXPECT_EQ(Le32(Bytes(sender.BuildDatagram(1, 0, false)), 93), 0u);
    EXPECT_EQ(Bytes(sender.BuildDatagram(1, 0, false))[97], 0);
    EXPECT_EQ(Bytes(sender.BuildDatagram(1, 0, true))[97], 1);
    EXPECT_EQ(Le32(Bytes(sender.BuildDatagram(7, 0, false)), 16), 7u);
}

TEST(ReportDatagram, ScriptDatesBecomeTodayOrStayZero) {
    auto today = [] {
        SYSTEMTIME t;
        ::GetLocalTime(&t);
        return t.wYear * 10000 + t.wMonth * 100 + t.wDay;
    };
    EXPECT_EQ(ReportSender::ReportDate(0), 0);
    for (int32_t date : {20200101, 1, -5, 99999999}) {
        const int32_t before = today();
        const int32_t got = ReportSender::ReportDate(date);
        EXPECT_TRUE(got == before || got == today()) << date << " gave " << got;
    }
}

TEST(ReportSending, UnresolvableServerSendsNothingAndComputesNoId) {
    CountingSender c;
    UdpListener listener;
    ASSERT_TRUE(listener.ok());
    ReportSettings s = Settings(listener.port());
    s.server = c.unresolvable;
    c.sender.Configure(s);
    c.sender.SendReport(1, 0, false);
    EXPECT_EQ(c.resolves, 1);
    EXPECT_EQ(c.ids, 0);
    EXPECT_EQ(c.sender.Address(), "");
    EXPECT_EQ(c.sender.MachineId(), "");

    // Nothing was cached: the next report resolves again and is the first
    // datagram the listener sees.
    s.server = "report.local";
    s.appNumber = 4242;
    c.sender.Configure(s);
    c.sender.SendReport(1, 0, false);
    EXPECT_EQ(c.resolves, 2);
    EXPECT_EQ(c.ids, 1);
    std::string got;
    ASSERT_TRUE(listener.Receive(got));
    EXPECT_EQ(Le32(got, 20), 4242u);
}

TEST(ReportSending, EmptyServerNeitherResolvesNorComputes) {
    CountingSender c;
    ReportSettings s = Settings(1);
    s.server = std::string("\0x", 2);  // empty up to its first zero byte
    c.sender.Configure(s);
    c.sender.SendReport(1, 0, false);
    EXPECT_EQ(c.resolves, 0);
    EXPECT_EQ(c.ids, 0);
}

TEST(ReportSending, AddressAndIdAreWorkedOutOnce) {
    CountingSender c;
    UdpListener listener;
    ASSERT_TRUE(listener.ok());
    for (const char* server : {"report.local", "other.local", "no.such.host"}) {
        ReportSettings s = Settings(listener.port());
        s.server = server;
        c.sender.Configure(s);
        c.sender.SendReport(1, 0, false);
        std::string got;
        ASSERT_TRUE(listener.Receive(got)) << server;
        EXPECT_EQ(got.substr(60, 33), kFakeId + '\0');
    }
    EXPECT_EQ(c.resolves, 1);
    EXPECT_EQ(c.ids, 1);
    EXPECT_EQ(c.sender.Address(), "127.0.0.1");
}

TEST(ReportSending, PlatformResolverHandlesDottedAddresses) {
    UdpListener sockets;  // starts the sockets library
    EXPECT_EQ(ResolveServerAddress("127.0.0.1"), "127.0.0.1");
    // Not a valid dotted address, and answered without asking a name server.
    EXPECT_EQ(ResolveServerAddress("256.256.256.256"), "");

    int ids = 0;
    ReportSender sender(ResolveServerAddress, [&] {
        ++ids;
        return kFakeId;
    });
    ReportSettings s = Settings(1);
    s.server = "256.256.256.256";
    sender.Configure(s);
    sender.SendReport(1, 0, false);
    EXPECT_EQ(ids, 0);
    EXPECT_EQ(sender.Address(), "");
}

}  // namespace
