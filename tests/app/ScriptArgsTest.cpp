// The conventions every host function follows for its arguments and results.
#include <gtest/gtest.h>

#include "script_api/HostFunctions.h"
#include "script_api/ScriptArgs.h"
#include "support/ScriptTest.h"

namespace {

// Echo functions that expose the argument readers to scripts.
int EchoText(lua_State* L) {
    PushText(L, ArgText(L, 1));
    return 1;
}
int EchoInt(lua_State* L) {
    lua_pushinteger(L, ArgInt(L, 1));
    return 1;
}
int EchoBool(lua_State* L) {
    lua_pushboolean(L, ArgBool(L, 1));
    return 1;
}

class ScriptArgsTest : public ScriptTest {
  protected:
    void SetUp() override {
        ScriptTest::SetUp();
        lua_register(L, "echo_text", EchoText);
        lua_register(L, "echo_int", EchoInt);
        lua_register(L, "echo_bool", EchoBool);
    }
};

TEST_F(ScriptArgsTest, TextArguments) {
    const struct {
        const char* arg;
        const char* expected;
    } cases[] = {
        {"'abc'", "abc"},
        {"1001", "1001"},  // numbers in their Lua string form
        {"1.5", "1.5"},
        {"'a\\0b'", "a"},  // cut at an embedded zero byte
        {"nil", ""},
        {"true", ""},
        {"{}", ""},
        {"", ""},                // missing
        {"'中文 é'", "中文 é"},  // UTF-8 round trip
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(std::string("echo_text(") + c.arg + ")"), c.expected) << c.arg;
    }
}

TEST_F(ScriptArgsTest, IntegerArguments) {
    const struct {
        const char* arg;
        int64_t expected;
    } cases[] = {
        {"42", 42},         {"-7", -7}, {"3.0", 3},  {"'12'", 12},       {"3.5", 0}, {"'x'", 0},
        {"nil", 0},         {"", 0},    {"true", 0}, {"0x100000005", 5},  // only the low 32 bits
        {"4294967295", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Int(std::string("echo_int(") + c.arg + ")"), c.expected) << c.arg;
    }
}

TEST_F(ScriptArgsTest, BooleanArguments) {
    EXPECT_FALSE(Bool("echo_bool()"));
    EXPECT_FALSE(Bool("echo_bool(nil)"));
    EXPECT_FALSE(Bool("echo_bool(false)"));
    EXPECT_TRUE(Bool("echo_bool(0)"));
    EXPECT_TRUE(Bool("echo_bool('')"));
    EXPECT_TRUE(Bool("echo_bool(true)"));
}

TEST(HostFunctionTable, FixedOrderOfFortyNine) {
    size_t count = 0;
    const char* const* names = HostFunctionOrder(&count);
    ASSERT_EQ(count, 49u);
    EXPECT_STREQ(names[0], "lua_Print");
    EXPECT_STREQ(names[36], "lua_ReportUDP");
    EXPECT_STREQ(names[48], "lua_hasParam");
}

TEST_F(ScriptArgsTest, RegisteredFunctionsAreGlobals) {
    EXPECT_EQ(Type("lua_SetTimer"), "function");
    EXPECT_EQ(Type("lua_KillTimer"), "function");
    EXPECT_EQ(Type("lua_SetTimeSimulate"), "function");
    EXPECT_EQ(Type("lua_SetExitCode"), "function");
    EXPECT_EQ(Type("lua_GetParamValue"), "function");
    EXPECT_EQ(Type("lua_RemoveInstalled"), "function");
    EXPECT_EQ(Type("lua_WriteTextFile"), "function");
}

}  // namespace
