#pragma once
// The host functions the script reaches as globals named "lua_...".
#include <cstddef>

#include "script_api/LuaHeaders.h"

struct HostFunction {
    const char* name;
    lua_CFunction function;
};

struct HostFunctionList {
    const HostFunction* items;
    size_t count;
};

// Each group of host functions lists the functions it implements; the
// registration order is fixed by HostFunctions.cpp, not by the groups.
HostFunctionList PathHostFunctions();      // paths, files, system information
HostFunctionList ProcessHostFunctions();   // processes, execution, command line
HostFunctionList ShortcutHostFunctions();  // shortcuts and taskbar pins
HostFunctionList RegistryHostFunctions();  // registry values and keys
HostFunctionList WindowHostFunctions();    // windows, controls, script timers
HostFunctionList ReportHostFunctions();    // the install report

// Registers every implemented host function as a global, in the fixed order.
void RegisterHostFunctions(lua_State* L);

// The fixed registration order: all 49 names, implemented or not yet.
const char* const* HostFunctionOrder(size_t* count);
