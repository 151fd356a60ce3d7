#pragma once
// Small hand-made Windows executables for the resource writer's tests: the
// headers, a code section, a resource section holding a manifest and a
// relocation section, each field at a known place so tests can spoil it.
#include <cstdint>
#include <string>
#include <vector>

struct TestPeOptions {
    bool x64 = true;
    bool manifest = true;
    bool reloc = true;
    bool sectionAfterResources = false;  // a ".extra" section behind .rsrc
};

// Where the builder put things (file offsets, unless named an address).
struct TestPe {
    std::vector<uint8_t> bytes;
    size_t coff = 0;         // the COFF header
    size_t optional = 0;     // the optional header
    size_t directories = 0;  // the data directory table
    size_t sectionTable = 0;
    size_t rsrcRaw = 0;  // the resource section's data
    size_t relocRaw = 0;
    uint32_t rsrcAddress = 0;
};

extern const char kTestManifest[];

TestPe MakeTestPe(const TestPeOptions& options = {});
void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);
uint32_t Get32(const std::vector<uint8_t>& bytes, size_t at);
// The checksum as the system's image helper computes it, folding the carry
// after every word; the checksum field counts as zero.
uint32_t ReferenceChecksum(std::vector<uint8_t> bytes, size_t checksumAt);
