#include "link/port_list.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_folder.hpp"

namespace orva::link {
namespace {

namespace fs = std::filesystem;

// A fake /sys and /dev laid out as Linux does: class/tty entries that link into the device
// tree, serial-core ports with a type, USB adapters under their interface and device.
class PortListTest : public ::testing::Test {
 protected:
  PortListTest() {
    fs::create_directories(sys_ / "class" / "tty");
    fs::create_directories(dev_ / "serial" / "by-id");
  }

  static void writeFile(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text << "\n";
  }

  // A board UART: serial-core reports its type (0 = nothing there).
  void addUart(const std::string& name, int type) {
    const auto device = sys_ / "devices" / "platform" / "serial8250" / name;
    fs::create_directories(device);
    const auto tty = sys_ / "class" / "tty" / name;
    fs::create_directories(tty);
    fs::create_symlink(device, tty / "device");
    writeFile(tty / "type", std::to_string(type));
    writeFile(dev_ / name, "");
  }

  // A USB adapter: class/tty/<name> links to <usb device>/<interface>/[<port>/]tty/<name>,
  // whose "device" link points back up to the port (ttyUSB) or the interface (ttyACM).
  void addUsb(const std::string& name, const std::string& usbDevice, bool portLevel,
              const std::string& manufacturer, const std::string& product, const std::string& interface) {
    const auto usb = sys_ / "devices" / "pci0000:00" / "usb1" / usbDevice;
    writeFile(usb / "idVendor", "0403");
    if (!manufacturer.empty()) writeFile(usb / "manufacturer", manufacturer);
    if (!product.empty()) writeFile(usb / "product", product);
    const auto intf = usb / (usbDevice + ":1.0");
    fs::create_directories(intf);
    if (!interface.empty()) writeFile(intf / "interface", interface);
    const auto parent = portLevel ? intf / name : intf;
    const auto ttyDir = parent / "tty" / name;
    fs::create_directories(ttyDir);
    fs::create_symlink(portLevel ? "../../../" + name : "../..", ttyDir / "device");
    fs::create_directory_symlink(ttyDir, sys_ / "class" / "tty" / name);
    writeFile(dev_ / name, "");
  }

  void addVirtualTerminal(const std::string& name) { fs::create_directories(sys_ / "class" / "tty" / name); }

  void addById(const std::string& linkName, const std::string& target) {
    fs::create_symlink(target, dev_ / "serial" / "by-id" / linkName);
  }

  std::vector<std::string> devices(const std::vector<PortInfo>& ports) const {
    std::vector<std::string> out;
    for (const auto& p : ports) out.push_back(fs::path(p.device).lexically_relative(dev_).string());
    return out;
  }

  orva::testing::TempFolder folder_;
  const fs::path& root_ = folder_.path();
  const fs::path sys_ = root_ / "sys", dev_ = root_ / "dev";
};

TEST_F(PortListTest, KeepsRealPortsSkipsPlaceholdersAndNumbersThemInNaturalOrder) {
  addUart("ttyS10", 4);
  addUart("ttyS0", 4);
  addUart("ttyS1", 0);  // reserved by serial-core, no UART behind it
  addUart("ttyS2", 4);
  addUsb("ttyUSB0", "1-1", true, "FTDI", "FT232R USB UART", "");
  addUsb("ttyACM0", "1-2", false, "", "", "");
  addVirtualTerminal("tty0");
  addVirtualTerminal("ptmx");

  const auto ports = listPorts(sys_, dev_);
  EXPECT_EQ(devices(ports), (std::vector<std::string>{"ttyACM0", "ttyS0", "ttyS2", "ttyS10", "ttyUSB0"}));
  for (std::size_t i = 0; i < ports.size(); ++i) EXPECT_EQ(ports[i].number, static_cast<int>(i) + 1);
  EXPECT_EQ(ports[1].device, (dev_ / "ttyS0").string());
}

TEST_F(PortListTest, DescribesUsbAdaptersAndFindsTheirStableName) {
  addUart("ttyS0", 4);
  addUsb("ttyUSB0", "1-1", true, "FTDI", "FT232R USB UART", "");
  addUsb("ttyUSB1", "1-3", true, "", "", "Camera Link Port");
  addUsb("ttyACM0", "1-2", false, "", "Block Camera Bridge", "CDC Abstract Control Model");
  addById("usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", "../../ttyUSB0");
  addById("usb-Maker_Bridge_0001-if00", "../../ttyACM0");

  const auto ports = listPorts(sys_, dev_);
  ASSERT_EQ(devices(ports), (std::vector<std::string>{"ttyACM0", "ttyS0", "ttyUSB0", "ttyUSB1"}));
  EXPECT_EQ(ports[0].description, "Block Camera Bridge");
  EXPECT_EQ(ports[0].byId, (dev_ / "serial/by-id/usb-Maker_Bridge_0001-if00").string());
  EXPECT_EQ(ports[1].description, "");
  EXPECT_EQ(ports[1].byId, "");
  EXPECT_EQ(ports[2].description, "FTDI FT232R USB UART");
  EXPECT_EQ(ports[2].byId, (dev_ / "serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0").string());
  EXPECT_EQ(ports[3].description, "Camera Link Port");
  EXPECT_EQ(ports[3].byId, "");
}

TEST_F(PortListTest, MissingTreeGivesNoPorts) {
  EXPECT_TRUE(listPorts(root_ / "nothing", root_ / "nowhere").empty());
  EXPECT_TRUE(listPorts(sys_, dev_).empty());
}

TEST_F(PortListTest, FindPortTakesTheExactNumberOnly) {
  addUart("ttyS12", 4);
  addUart("ttyS1", 4);
  addUsb("ttyUSB0", "1-1", true, "FTDI", "FT232R USB UART", "");
  const auto ports = listPorts(sys_, dev_);
  ASSERT_EQ(devices(ports), (std::vector<std::string>{"ttyS1", "ttyS12", "ttyUSB0"}));

  EXPECT_EQ(findPort(ports, 1)->device, (dev_ / "ttyS1").string());
  EXPECT_EQ(findPort(ports, 2)->device, (dev_ / "ttyS12").string());
  EXPECT_EQ(findPort(ports, 3)->device, (dev_ / "ttyUSB0").string());
  // No port is numbered 12 even though a device name holds "12"; nothing falls back to the first.
  EXPECT_FALSE(findPort(ports, 12));
  EXPECT_FALSE(findPort(ports, 0));
  EXPECT_FALSE(findPort(ports, 4));
  EXPECT_FALSE(findPort({}, 1));
}

TEST_F(PortListTest, FindPortByPathMatchesTheDeviceUnderAnyOfItsNames) {
  addUart("ttyS0", 4);
  addUsb("ttyUSB0", "1-1", true, "FTDI", "FT232R USB UART", "");
  addUsb("ttyUSB1", "1-3", true, "FTDI", "FT232R USB UART", "");
  addById("usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", "../../ttyUSB1");
  fs::create_symlink(dev_ / "ttyUSB1", root_ / "camera");
  const auto ports = listPorts(sys_, dev_);
  const auto usb1 = (dev_ / "ttyUSB1").string();

  EXPECT_EQ(findPortByPath(ports, dev_ / "ttyUSB0")->number, 2);
  EXPECT_EQ(findPortByPath(ports, dev_ / "serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0")->device, usb1);
  EXPECT_EQ(findPortByPath(ports, root_ / "camera")->device, usb1);
  EXPECT_EQ(findPortByPath(ports, dev_ / "." / "ttyUSB1")->device, usb1);
  EXPECT_FALSE(findPortByPath(ports, dev_ / "ttyUSB"));
  EXPECT_FALSE(findPortByPath(ports, dev_ / "ttyUSB2"));
  EXPECT_FALSE(findPortByPath(ports, "/dev/pts/7"));
}

}  // namespace
}  // namespace orva::link
