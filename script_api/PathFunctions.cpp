#include "script_api/HostFunctions.h"

HostFunctionList PathHostFunctions() { return {nullptr, 0}; }
