#include "script_api/HostFunctions.h"

HostFunctionList ShortcutHostFunctions() { return {nullptr, 0}; }
