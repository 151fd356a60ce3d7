// The author's script reference names exactly the host functions a script
// gets: each "### lua_Name" heading of docs/script-api.md against the lua_
// globals of a fresh script state. A new host function needs only its entry.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "app/ScriptRunner.h"
#include "script_api/LuaHeaders.h"
#include "support/TestProcess.h"

namespace {

std::wstring SourceFile(const std::string& relative) {
    // Paths baked in at build time are Linux paths; Wine maps / to Z:.
    std::wstring path = L"Z:" + Widen(std::string(SKINSETUP_SOURCE_DIR) + "/" + relative);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// "### lua_Name" or "### `lua_Name`" headings; repeated headings go to `twice`.
std::set<std::string> DocumentedFunctions(const std::string& text, std::set<std::string>& twice) {
    std::set<std::string> names;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("### ", 0) != 0) continue;
        size_t start = 4;
        if (start < line.size() && line[start] == '`') ++start;
        if (line.compare(start, 4, "lua_") != 0) continue;
        size_t end = start;
        while (end < line.size() && IsNameChar(line[end])) ++end;
        const std::string name = line.substr(start, end - start);
        if (!names.insert(name).second) twice.insert(name);
    }
    return names;
}

std::set<std::string> RegisteredFunctions() {
    std::set<std::string> names;
    ScriptRunner& runner = TheScriptRunner();
    runner.Close();
    if (!runner.Open()) return names;
    lua_State* L = runner.State();
    lua_pushglobaltable(L);
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (lua_type(L, -2) == LUA_TSTRING && lua_iscfunction(L, -1)) {
            const std::string name = lua_tostring(L, -2);
            if (name.rfind("lua_", 0) == 0) names.insert(name);
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    runner.Close();
    return names;
}

std::string List(const std::set<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += " " + n;
    return out;
}

TEST(HostFunctionReference, DocumentsExactlyTheRegisteredFunctions) {
    const std::string doc = ReadFileBytes(SourceFile("docs/script-api.md"));
    ASSERT_FALSE(doc.empty()) << "docs/script-api.md not found";
    std::set<std::string> twice;
    const std::set<std::string> documented = DocumentedFunctions(doc, twice);
    const std::set<std::string> registered = RegisteredFunctions();
    ASSERT_GE(registered.size(), 52u);  // the table and the application's own

    std::set<std::string> undocumented, unknown;
    for (const std::string& n : registered) {
        if (!documented.count(n)) undocumented.insert(n);
    }
    for (const std::string& n : documented) {
        if (!registered.count(n)) unknown.insert(n);
    }
    EXPECT_TRUE(undocumented.empty())
        << "registered but not in the reference:" << List(undocumented);
    EXPECT_TRUE(unknown.empty()) << "in the reference but not registered:" << List(unknown);
    EXPECT_TRUE(twice.empty()) << "documented more than once:" << List(twice);
}

// The reader of the headings itself: it must not silently find nothing.
TEST(HostFunctionReference, HeadingsAreReadInBothForms) {
    const struct {
        const char* text;
        std::set<std::string> names;
        std::set<std::string> twice;
    } cases[] = {
        {"### lua_Print\n### `lua_Excute`\n", {"lua_Print", "lua_Excute"}, {}},
        {"## lua_Print\n#### lua_Print\n### OnRunSetup\n`lua_Print(text)`\n", {}, {}},
        {"### lua_Print\r\n### lua_Print (again)\n", {"lua_Print"}, {"lua_Print"}},
    };
    for (const auto& c : cases) {
        std::set<std::string> twice;
        EXPECT_EQ(DocumentedFunctions(c.text, twice), c.names) << c.text;
        EXPECT_EQ(twice, c.twice) << c.text;
    }
}

}  // namespace
