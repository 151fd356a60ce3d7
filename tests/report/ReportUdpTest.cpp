// lua_ReportUDP as installer scripts call it, received on a loopback port.
#include <gtest/gtest.h>

#include <string>

#include "UdpListener.h"
#include "report/MachineId.h"
#include "report/ReportSender.h"
#include "support/ScriptTest.h"
#include "support/TestProcess.h"

namespace {

class ReportUdpTest : public ScriptTest {
  protected:
    void SetUp() override {
        ScriptTest::SetUp();
        ASSERT_TRUE(listener.ok());
    }

    // Calls lua_ReportUDP with the given argument list text, in which "PORT"
    // stands for the listener's port, and receives what arrives.
    std::string Report(std::string args) {
        const size_t at = args.find("PORT");
        if (at != std::string::npos) args.replace(at, 4, std::to_string(listener.port()));
        EXPECT_EQ(Run("lua_ReportUDP(" + args + ")"), "");
        std::string got;
        EXPECT_TRUE(listener.Receive(got)) << args;
        return got;
    }

    static int32_t Today() {
        SYSTEMTIME t;
        ::GetLocalTime(&t);
        return t.wYear * 10000 + t.wMonth * 100 + t.wDay;
    }

    UdpListener listener;
};

bool IsLowerHex32(const std::string& id) {
    return id.size() == 32 && id.find_first_not_of("0123456789abcdef") == std::string::npos;
}

TEST_F(ReportUdpTest, IsRegistered) { EXPECT_EQ(Type("lua_ReportUDP"), "function"); }

TEST_F(ReportUdpTest, EveryFieldOfTheShippedCall) {
    const int32_t before = Today();
    const std::string d = Report("'127.0.0.1', '1.0.0.2', 1001, 108, PORT, 1, true, 20200101");
    ASSERT_EQ(d.size(), 98u);
    EXPECT_EQ(d.substr(0, 4), "\xC8\xB9\x7A\x6D");
    EXPECT_EQ(Le32(d, 4), 0u);
    EXPECT_EQ(Le32(d, 8), 1u);
    EXPECT_EQ(d.substr(12, 4), std::string("\x62\0\0\0", 4));
    EXPECT_EQ(Le32(d, 16), 1u);     // command
    EXPECT_EQ(Le32(d, 20), 108u);   // app number
    EXPECT_EQ(Le32(d, 24), 1001u);  // channel
    EXPECT_EQ(d.substr(28, 32), "1.0.0.2" + std::string(25, '\0'));
    const std::string id = d.substr(60, 32);
    EXPECT_TRUE(IsLowerHex32(id)) << id;
    EXPECT_EQ(id, ComputeMachineId());
    EXPECT_EQ(d[92], '\0');
    // The script's own date never travels: today's does.
    const uint32_t date = Le32(d, 93);
    EXPECT_TRUE(date == static_cast<uint32_t>(before) || date == static_cast<uint32_t>(Today()))
        << date;
    EXPECT_EQ(d[97], 1);
}

TEST_F(ReportUdpTest, ArgumentsAreReadTheScriptWay) {
    // A 40-byte version goes out as its first 31 bytes and a zero.
    std::string d = Report("'127.0.0.1', string.rep('7', 40), 1, 2, PORT, 1, false, 0");
    EXPECT_EQ(d.substr(28, 32), std::string(31, '7') + '\0');
    EXPECT_EQ(Le32(d, 93), 0u);  // a date of 0 stays 0
    EXPECT_EQ(d[97], 0);
    // Numbers are texts in their Lua form; integers may come as strings.
    d = Report("'127.0.0.1', 1.5, '77', 3.0, PORT, '9', 0, 1");
    EXPECT_EQ(d.substr(28, 4), std::string("1.5\0", 4));
    EXPECT_EQ(Le32(d, 24), 77u);
    EXPECT_EQ(Le32(d, 20), 3u);
    EXPECT_EQ(Le32(d, 16), 9u);
    EXPECT_EQ(d[97], 1);  // 0 is a true value
    EXPECT_NE(Le32(d, 93), 0u);
    // Text up to an embedded zero; an update flag of nil; a table as version.
    d = Report("'127.0.0.1', '3.1\\0beta', -1, 0, PORT, 1, nil, 0");
    EXPECT_EQ(d.substr(28, 8), std::string("3.1\0\0\0\0\0", 8));
    EXPECT_EQ(Le32(d, 24), 0xFFFFFFFFu);
    EXPECT_EQ(d[97], 0);
    d = Report("'127.0.0.1', {}, 1, 2, PORT");
    EXPECT_EQ(d.substr(28, 32), std::string(32, '\0'));
    EXPECT_EQ(Le32(d, 16), 0u);  // missing command
}

TEST_F(ReportUdpTest, OnlyTheLow16BitsOfThePortCount) {
    // 65536 above the listener's port reaches the listener, as 70000 reaches 4464.
    const std::string d =
        Report("'127.0.0.1', '1', 1, 2, " + std::to_string(65536 + listener.port()) + ", 1, 0, 0");
    EXPECT_EQ(d.size(), 98u);
}

TEST_F(ReportUdpTest, NoServerSendsNothing) {
    for (const char* server : {"''", "nil", "'\\0' .. '127.0.0.1'", "{}"}) {
        EXPECT_EQ(Run(std::string("lua_ReportUDP(") + server + ", '1', 1, 555, " +
                      std::to_string(listener.port()) + ", 1, 0, 0)"),
                  "");
    }
    EXPECT_EQ(Run("lua_ReportUDP()"), "");
    // The first datagram to arrive is the one with a server.
    const std::string d = Report("'127.0.0.1', '1', 1, 666, PORT, 1, 0, 0");
    EXPECT_EQ(Le32(d, 20), 666u);
}

TEST_F(ReportUdpTest, MachineIdIsTheSameInSeparateProcesses) {
    const std::wstring installer = TestInstallerPath(L"report_id.exe");
    std::string ids[2];
    for (std::string& id : ids) {
        ::SetEnvironmentVariableW(L"SKINSETUP_TEST_REPORT_PORT",
                                  std::to_wstring(listener.port()).c_str());
        // Started without inherited handles: the installer needs none of ours.
        PROCESS_INFORMATION pi = StartProcess(installer, L"");
        ::SetEnvironmentVariableW(L"SKINSETUP_TEST_REPORT_PORT", nullptr);
        ASSERT_NE(pi.hProcess, nullptr);
        const DWORD waited = ::WaitForSingleObject(pi.hProcess, 60000);
        if (waited != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 1);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        ASSERT_EQ(waited, WAIT_OBJECT_0);
        std::string d;
        ASSERT_TRUE(listener.Receive(d));
        ASSERT_EQ(d.size(), 98u);
        EXPECT_EQ(Le32(d, 20), 108u);
        EXPECT_EQ(d.substr(28, 8), std::string("2.0.0.1\0", 8));
        id = d.substr(60, 32);
        EXPECT_TRUE(IsLowerHex32(id)) << id;
    }
    EXPECT_EQ(ids[0], ids[1]);
    EXPECT_EQ(ids[0], ComputeMachineId());
}

}  // namespace
