#pragma once
// The serial ports present on this machine, as the port dialogs and `orva-cli ports` show them.
//
// Ports come from sysfs: every tty with a device behind it, except serial-core placeholders
// that have no UART (ttyS ports whose type is 0). They are sorted by device path in natural
// order (ttyS2 before ttyS10) and numbered from 1; the configuration stores number - 1. The
// list is read afresh whenever it is needed, so the numbers follow what is plugged in.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orva::link {

struct PortInfo {
  int number = 0;           // 1-based position in the list
  std::string device;       // e.g. /dev/ttyUSB0
  std::string byId;         // the stable /dev/serial/by-id/... name, or empty
  std::string description;  // USB manufacturer and product (or interface), or empty
};

// The roots are parameters so tests can build a fake tree.
std::vector<PortInfo> listPorts(const std::filesystem::path& sysRoot = "/sys",
                                const std::filesystem::path& devRoot = "/dev");

// The port with exactly this number.
std::optional<PortInfo> findPort(const std::vector<PortInfo>& ports, int number);
// The port whose device or by-id path is `path`, also when `path` is another name (symlink)
// of the same device.
std::optional<PortInfo> findPortByPath(const std::vector<PortInfo>& ports, const std::filesystem::path& path);

// The device a program opens at start: the one asked for on its command line, else the
// configured device path when it exists, else the port of the configured number, else the
// first port; empty when the machine has none.
std::string startPortDevice(const std::string& asked, const std::string& configuredDevice, int configuredNumber);

}  // namespace orva::link
