#include "report/MachineId.h"

#include <cpuid.h>

#include <vector>

#include "report/MacAddress.h"
#include "report/Md5Digest.h"
#include "report/SmbiosInfo.h"
#include "report/SmbiosReader.h"

namespace {

struct CpuidRegisters {
    uint32_t eax, ebx, ecx, edx;
};

CpuidRegisters Cpuid(uint32_t leaf) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    __cpuid_count(leaf, 0, a, b, c, d);
    return {a, b, c, d};
}

}  // namespace

std::array<uint32_t, 11> ProcessorValues() {
    const CpuidRegisters l0 = Cpuid(0), l1 = Cpuid(1), l3 = Cpuid(3);
    // Leaf 1 EBX is left out: it names the core the code happens to run on.
    return {l0.eax, l0.ebx, l0.ecx, l0.edx, l1.eax, l1.ecx, l1.edx, l3.eax, l3.ebx, l3.ecx, l3.edx};
}

void FillIdentityBuffer(IdentityBuffer& buffer) {
    const std::vector<uint8_t> mac = MachineMacAddress();
    buffer.Append(mac.data(), mac.size());
    for (uint32_t v : ProcessorValues()) buffer.AppendLe32(v);
    SmbiosInfo info;
    if (ReadSmbios(info)) buffer.Append(info.IdentityText());
}

std::string ComputeMachineId() {
    IdentityBuffer buffer;
    FillIdentityBuffer(buffer);
    return Md5Hex(buffer.Data(), buffer.Size());
}
