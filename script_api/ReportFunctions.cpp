#include "script_api/HostFunctions.h"

#include <winsock2.h>

#include <cstring>
#include <iterator>
#include <string>

#include "report/ReportSender.h"
#include "script_api/ScriptArgs.h"

namespace {

// The report's texts are sent as the script's own bytes, cut at the first
// zero byte; numbers in their string form, anything else empty.
std::string RawText(lua_State* L, int index) {
    const int type = lua_type(L, index);
    if (type != LUA_TSTRING && type != LUA_TNUMBER) return {};
    size_t len = 0;
    const char* s = lua_tolstring(L, index, &len);
    return s ? std::string(s, ::strnlen(s, len)) : std::string();
}

// server, version, channel, app number, port, command, update, date
int lua_ReportUDP(lua_State* L) {
    ReportSettings s;
    s.server = RawText(L, 1);
    s.version = RawText(L, 2);
    s.channel = ArgInt(L, 3);
    s.appNumber = ArgInt(L, 4);
    s.port = ArgInt(L, 5);
    const int32_t command = ArgInt(L, 6);
    const bool update = ArgBool(L, 7);
    s.date = ReportSender::ReportDate(ArgInt(L, 8));

    ReportSender& sender = TheReportSender();
    sender.Configure(s);
    // Never shut down: the library stays for the life of the process.
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    sender.SendReport(command, s.date, update);
    return 0;
}

const HostFunction kFunctions[] = {
    {"lua_ReportUDP", lua_ReportUDP},
};

}  // namespace

HostFunctionList ReportHostFunctions() { return {kFunctions, std::size(kFunctions)}; }
