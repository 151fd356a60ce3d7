#include "tools/skinpack/ScriptChecker.h"

#include <memory>
#include <vector>

// Lua is built as C++ here, so its headers are included without extern "C".
#include <lauxlib.h>
#include <lua.h>

#include "tools/skinpack/FileStreams.h"

namespace {

// The chunk name the compiler puts before the line number; replaced by the
// file's own path, which the compiler would cut short when long.
constexpr char kChunkName[] = "=script";
constexpr char kChunkPrefix[] = "script:";

struct LuaStateDeleter {
    void operator()(lua_State* state) const { lua_close(state); }
};
using LuaStatePtr = std::unique_ptr<lua_State, LuaStateDeleter>;

}  // namespace

bool ScriptChecker::Check(const std::filesystem::path& file, std::string& message) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(file, bytes, error)) {
        message = error;
        return false;
    }
    return CheckText(std::string(bytes.begin(), bytes.end()), file.u8string(), message);
}

bool ScriptChecker::CheckText(const std::string& text, const std::string& name,
                              std::string& message) {
    LuaStatePtr state(luaL_newstate());
    if (!state) {
        message = name + ": out of memory";
        return false;
    }
    // The same call as the installer's, binary chunks included, so what
    // passes here loads there.
    if (luaL_loadbufferx(state.get(), text.data(), text.size(), kChunkName, nullptr) == LUA_OK)
        return true;
    const char* raw = lua_tostring(state.get(), -1);
    std::string said = raw ? raw : "cannot be compiled";
    const size_t prefix = sizeof(kChunkPrefix) - 1;
    if (said.compare(0, prefix, kChunkPrefix) == 0)
        message = name + ":" + said.substr(prefix);
    else
        message = name + ": " + said;
    return false;
}
