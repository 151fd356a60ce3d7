#pragma once
// The stable id the install report identifies the machine by: MD5 over the
// network address, processor identification values and firmware texts.
#include <array>
#include <cstdint>
#include <string>

#include "report/IdentityBuffer.h"

// 32 lowercase hexadecimal digits; the same on every run while the sources
// stay the same.
std::string ComputeMachineId();

// The identity bytes ComputeMachineId hashes.
void FillIdentityBuffer(IdentityBuffer& buffer);

// Processor identification leaves 0, 1 and 3 as they enter the buffer:
// leaf 0 EAX EBX ECX EDX, leaf 1 EAX, leaf 1 ECX EDX, leaf 3 EAX EBX ECX EDX.
std::array<uint32_t, 11> ProcessorValues();
