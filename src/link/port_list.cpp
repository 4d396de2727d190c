#include "link/port_list.hpp"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <string_view>

namespace orva::link {
namespace {

namespace fs = std::filesystem;

// First line of a sysfs attribute, without surrounding blanks; empty when unreadable.
std::string readAttribute(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  const auto first = line.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return line.substr(first, line.find_last_not_of(" \t\r\n") - first + 1);
}

bool present(const fs::path& p) {
  std::error_code ec;
  return fs::symlink_status(p, ec).type() != fs::file_type::not_found && !ec;
}

// Serial-core reserves ports (ttyS0..ttyS31 on most PCs) whether or not a UART answers there;
// those without one report type 0 (no known UART) and cannot carry a line.
bool isPlaceholder(const fs::path& ttyDir) {
  const auto type = ttyDir / "type";
  return present(type) && readAttribute(type) == "0";
}

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// "ttyS2" < "ttyS10": digit runs compare by value, everything else by character.
bool naturalLess(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      const auto runEnd = [](std::string_view s, std::size_t k) {
        while (k < s.size() && isDigit(s[k])) ++k;
        return k;
      };
      const std::size_t ie = runEnd(a, i), je = runEnd(b, j);
      auto x = a.substr(i, ie - i), y = b.substr(j, je - j);
      x.remove_prefix(std::min(x.find_first_not_of('0'), x.size()));
      y.remove_prefix(std::min(y.find_first_not_of('0'), y.size()));
      if (x.size() != y.size()) return x.size() < y.size();
      if (x != y) return x < y;
      i = ie;
      j = je;
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

// The USB device above a tty: "manufacturer product" from the first ancestor that is a USB
// device, else the text of the USB interface on the way. UARTs on the board have neither.
std::string usbDescription(const fs::path& deviceLink, const fs::path& sysRoot) {
  std::error_code ec;
  const auto root = fs::weakly_canonical(sysRoot, ec);
  auto dir = fs::weakly_canonical(deviceLink, ec);
  if (ec) return {};
  std::string interfaceText;
  constexpr int kLevels = 4;  // tty port, USB interface, USB device, with room to spare
  for (int level = 0; level < kLevels && dir != root && dir.has_relative_path(); ++level) {
    if (present(dir / "idVendor")) {
      const auto manufacturer = readAttribute(dir / "manufacturer");
      const auto product = readAttribute(dir / "product");
      if (!manufacturer.empty() && !product.empty()) return manufacturer + " " + product;
      if (!manufacturer.empty() || !product.empty()) return manufacturer + product;
      break;
    }
    if (interfaceText.empty() && present(dir / "interface")) interfaceText = readAttribute(dir / "interface");
    dir = dir.parent_path();
  }
  return interfaceText;
}

bool resolvesTo(const fs::path& link, const fs::path& device) {
  std::error_code ec;
  auto target = fs::read_symlink(link, ec);
  if (ec) return false;
  if (target.is_relative()) target = link.parent_path() / target;
  if (target.lexically_normal() == device.lexically_normal()) return true;
  return fs::equivalent(link, device, ec) && !ec;
}

std::vector<fs::path> byIdLinks(const fs::path& devRoot) {
  std::vector<fs::path> links;
  std::error_code ec;
  for (fs::directory_iterator it(devRoot / "serial" / "by-id", ec), end; !ec && it != end; it.increment(ec)) {
    links.push_back(it->path());
  }
  std::sort(links.begin(), links.end());
  return links;
}

}  // namespace

std::vector<PortInfo> listPorts(const fs::path& sysRoot, const fs::path& devRoot) {
  std::vector<PortInfo> ports;
  std::error_code ec;
  for (fs::directory_iterator it(sysRoot / "class" / "tty", ec), end; !ec && it != end; it.increment(ec)) {
    const auto ttyDir = it->path();
    // Virtual consoles, ptmx and the like have no device behind them.
    if (!present(ttyDir / "device") || isPlaceholder(ttyDir)) continue;
    PortInfo port;
    port.device = (devRoot / ttyDir.filename()).string();
    port.description = usbDescription(ttyDir / "device", sysRoot);
    ports.push_back(std::move(port));
  }
  std::sort(ports.begin(), ports.end(),
            [](const PortInfo& a, const PortInfo& b) { return naturalLess(a.device, b.device); });

  const auto links = byIdLinks(devRoot);
  for (std::size_t i = 0; i < ports.size(); ++i) {
    ports[i].number = static_cast<int>(i) + 1;
    const auto link = std::find_if(links.begin(), links.end(),
                                   [&](const fs::path& l) { return resolvesTo(l, ports[i].device); });
    if (link != links.end()) ports[i].byId = link->string();
  }
  return ports;
}

std::optional<PortInfo> findPort(const std::vector<PortInfo>& ports, int number) {
  const auto it = std::find_if(ports.begin(), ports.end(), [&](const PortInfo& p) { return p.number == number; });
  if (it == ports.end()) return std::nullopt;
  return *it;
}

std::string startPortDevice(const std::string& asked, const std::string& configuredDevice, int configuredNumber) {
  if (!asked.empty()) return asked;
  std::error_code ec;
  if (!configuredDevice.empty() && fs::exists(configuredDevice, ec)) return configuredDevice;
  const auto ports = listPorts();
  if (ports.empty()) return {};
  // The configured number, or the first port when that number is not present.
  const auto chosen = findPort(ports, configuredNumber);
  return chosen ? chosen->device : ports.front().device;
}

std::optional<PortInfo> findPortByPath(const std::vector<PortInfo>& ports, const fs::path& path) {
  for (const auto& p : ports) {
    if (path == p.device || (!p.byId.empty() && path == p.byId)) return p;
  }
  std::error_code ec;
  const auto wanted = fs::weakly_canonical(path, ec);
  if (ec) return std::nullopt;
  for (const auto& p : ports) {
    std::error_code pec;
    if (fs::weakly_canonical(p.device, pec) == wanted && !pec) return p;
  }
  return std::nullopt;
}

}  // namespace orva::link
