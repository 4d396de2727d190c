// Lines that hold bytes on their way: a transmit buffer the tool's last character may still
// be in, and a USB adapter that passes received bytes on every 16 ms. In-process, on virtual
// time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/clock.hpp"
#include "core/prompt.hpp"
#include "eeprom/backup.hpp"
#include "eeprom/range.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/gateway.hpp"
#include "link/negotiator.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/model_profiles.hpp"
#include "sim/virtual_camera.hpp"

namespace orva {
namespace {

using namespace std::chrono_literals;

struct LatencyCase {
  const char* name;
  const char* settings;
  sim::Protocol protocol;
};

void PrintTo(const LatencyCase& c, std::ostream* os) { *os << c.name; }

sim::Profile profileOf(const LatencyCase& c) {
  auto p = sim::modelProfile("QB-183", c.protocol);
  EXPECT_TRUE(p);
  p->settings = *link::parseSettingsText(c.settings);
  return *p;
}

class AdapterLatency : public ::testing::TestWithParam<LatencyCase> {
 protected:
  AdapterLatency() : camera_(profileOf(GetParam()), {*sim::parseFault("latency:16")}), link_(clock_, monitor_) {
    link_.setChannel(std::make_unique<sim::InProcessChannel>(camera_, clock_, true));
    link_.setLineSettings(camera_.settings());
    link_.setProtocol(GetParam().protocol == sim::Protocol::Afp ? link::Protocol::Afp : link::Protocol::Eap);
  }

  core::FakeClock clock_{20ms};
  core::RecordingMonitorSink monitor_;
  core::ScriptedPrompt prompt_;
  sim::VirtualCamera camera_;
  link::Link link_;
  link::Eap eap_{link_};
  link::Afp afp_{link_};
  link::Negotiator negotiator_{link_, eap_, afp_};
};

TEST_P(AdapterLatency, NegotiationCommandsAndABackupWork) {
  const bool afp = GetParam().protocol == sim::Protocol::Afp;
  ASSERT_TRUE(negotiator_.connect(true)) << monitor_.pc();
  std::uint8_t value = 0;
  if (afp) {
    ASSERT_TRUE(link::gatewayReadByte(afp_, link_, 0x0800, value));
    ASSERT_TRUE(link::gatewayWriteByte(afp_, link_, 0x0800, 0xA5));
  } else {
    ASSERT_TRUE(eap_.readByte(0x0800, value));
    ASSERT_TRUE(eap_.writeByte(0x0800, 0xA5));
  }
  EXPECT_EQ(camera_.memory().read(0x0800), 0xA5);

  // EAP reads rows, AFP a byte per frame through the gateway.
  link_.setBlockReadMode(afp ? 0 : 2);
  eeprom::CameraImageReader reader(link_, eap_, afp_, prompt_);
  const auto range = *camera_.eepromRange();
  const auto read = reader.read(range, 2, "backup");
  ASSERT_EQ(read.end, eeprom::CameraImageReader::End::Done) << read.why;
  ASSERT_EQ(read.image.bytes.size(), 32u);
  for (std::size_t i = 0; i < read.image.bytes.size(); ++i)
    EXPECT_EQ(read.image.bytes[i], camera_.memory().read(static_cast<std::uint16_t>(range.start + i))) << i;
  EXPECT_THAT(monitor_.pc(), ::testing::Not(::testing::HasSubstr("RS-232C")));
}

// A camera behind the adapter, at a slow and a fast line speed: finding it, both protocols and
// an EEPROM backup still work, only slower.
INSTANTIATE_TEST_SUITE_P(Speeds, AdapterLatency,
                         ::testing::Values(LatencyCase{"eap_9600", "9600,E,8,1", sim::Protocol::Eap},
                                           LatencyCase{"eap_115200", "115200,E,8,1", sim::Protocol::Eap},
                                           LatencyCase{"afp_9600", "9600,E,8,1", sim::Protocol::Afp},
                                           LatencyCase{"afp_115200", "115200,E,8,1", sim::Protocol::Afp}),
                         [](const auto& c) { return std::string(c.param.name); });

TEST(TypedFrame, ItsFirstLetterStillLeavesAfterTheInputPurge) {
  // The typed "S" or "G" purges what came in before it; with the line's character time the
  // letter is still on its way then, and must reach the camera.
  core::FakeClock clock{20ms};
  core::RecordingMonitorSink monitor;
  sim::VirtualCamera camera(profileOf({"afp", "9600,E,8,1", sim::Protocol::Afp}));
  link::Link link(clock, monitor);
  link.setChannel(std::make_unique<sim::InProcessChannel>(camera, clock, true));
  link.setLineSettings(camera.settings());
  link.setProtocol(link::Protocol::Afp);
  ASSERT_TRUE(link.open());
  link::Afp afp(link);
  for (char c : std::string("GFE010102FFT")) ASSERT_TRUE(afp.exchangeTypedChar(c)) << c;
  EXPECT_THAT(monitor.camera(), ::testing::StartsWith("YFE010102"));
  EXPECT_EQ(camera.frameLog().all().front().sent, "GFE010102FFT");
}

}  // namespace
}  // namespace orva
