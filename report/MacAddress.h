#pragma once
// The network address that goes into the machine id: the smallest permanent
// address of the physical adapters, else the first address the adapter list
// reports.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct _IP_ADAPTER_INFO;

using MacBytes = std::array<uint8_t, 6>;

// The address bytes for the identity buffer; empty when no source answers.
std::vector<uint8_t> MachineMacAddress();

// Smallest permanent address of the present PCI (and listed-class) network
// devices; false when none answers.
bool SmallestPermanentMac(MacBytes& mac);
// Whether a network device with this instance id is asked for its address.
bool IsMacCandidate(const std::wstring& instanceId);
// The device's permanent address, asked from its network driver.
bool QueryPermanentMac(const std::wstring& instanceId, MacBytes& mac);
// The driver's device path for an instance id; empty when it would not fit
// the 260-unit path buffer.
std::wstring NdisDevicePath(const std::wstring& instanceId);

// Keeps the numerically smallest address offered (bytes compared unsigned
// from the first on); ties keep the earlier one.
class SmallestMac {
  public:
    void Offer(const MacBytes& mac);
    bool Found() const { return found_; }
    const MacBytes& Value() const { return value_; }

  private:
    MacBytes value_{};
    bool found_ = false;
};

// The first non-empty address of an adapter list; empty when none, or when an
// adapter claims an address of 1024 bytes or more.
std::vector<uint8_t> AdapterListMac(const _IP_ADAPTER_INFO* first);
// AdapterListMac over the system's adapter list.
std::vector<uint8_t> AdapterInfoMac();
