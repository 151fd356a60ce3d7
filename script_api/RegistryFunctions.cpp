#include "script_api/HostFunctions.h"

HostFunctionList RegistryHostFunctions() { return {nullptr, 0}; }
