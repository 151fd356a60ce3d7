#include "support/ScriptTest.h"

#include "app/ScriptRunner.h"

void ScriptTest::SetUp() {
    ASSERT_TRUE(TheScriptRunner().Open());
    L = TheScriptRunner().State();
}

void ScriptTest::TearDown() {
    TheScriptRunner().Close();
    L = nullptr;
}

std::string ScriptTest::Run(const std::string& code) {
    const int top = lua_gettop(L);
    std::string error;
    if (luaL_loadbuffer(L, code.data(), code.size(), "=test") != LUA_OK ||
        lua_pcall(L, 0, 0, 0) != LUA_OK) {
        const char* e = lua_tostring(L, -1);
        error = e ? e : "(error)";
        if (error.empty()) error = "(empty error)";
    }
    lua_settop(L, top);
    return error;
}

void ScriptTest::Eval(const std::string& expr) {
    const std::string code = "return " + expr;
    if (luaL_loadbuffer(L, code.data(), code.size(), "=test") != LUA_OK ||
        lua_pcall(L, 0, 1, 0) != LUA_OK) {
        ADD_FAILURE() << "evaluating " << expr << ": " << lua_tostring(L, -1);
        lua_pop(L, 1);
        lua_pushnil(L);
    }
}

std::string ScriptTest::Text(const std::string& expr) {
    Eval(expr);
    size_t len = 0;
    const char* s = lua_tolstring(L, -1, &len);
    std::string out = s ? std::string(s, len) : std::string("<nil>");
    lua_pop(L, 1);
    return out;
}

int64_t ScriptTest::Int(const std::string& expr) {
    Eval(expr);
    int isnum = 0;
    const int64_t v = lua_tointegerx(L, -1, &isnum);
    if (!isnum) ADD_FAILURE() << expr << " is not an integer";
    lua_pop(L, 1);
    return v;
}

bool ScriptTest::Bool(const std::string& expr) {
    Eval(expr);
    if (!lua_isboolean(L, -1)) ADD_FAILURE() << expr << " is not a boolean";
    const bool v = lua_toboolean(L, -1) != 0;
    lua_pop(L, 1);
    return v;
}

std::string ScriptTest::Type(const std::string& expr) {
    Eval(expr);
    std::string t = luaL_typename(L, -1);
    lua_pop(L, 1);
    return t;
}

std::string LuaQuote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + "\"";
}
