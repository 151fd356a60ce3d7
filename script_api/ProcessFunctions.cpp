#include "script_api/HostFunctions.h"

HostFunctionList ProcessHostFunctions() { return {nullptr, 0}; }
