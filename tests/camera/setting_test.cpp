// Settings against the virtual camera in both protocols: the protocol of the link picks
// the function code or the register, and a setting without a form in that protocol sends
// nothing.
#include "camera/setting.hpp"

#include <gtest/gtest.h>

#include "core/clock.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::camera {
namespace {

using namespace std::chrono_literals;

struct Bench {
  explicit Bench(link::Protocol protocol)
      : camera(profile(protocol)), link(clock, monitor) {
    link.setChannel(std::make_unique<sim::InProcessChannel>(camera, clock, false));
    link.setLineSettings({9600, true});
    link.setProtocol(protocol);
    EXPECT_TRUE(link.open());
  }
  static sim::Profile profile(link::Protocol protocol) {
    auto p = sim::parseProfile(std::string("settings 9600,E,8,1\nprotocol ") +
                               (protocol == link::Protocol::Afp ? "afp" : "eap") + "\n");
    EXPECT_TRUE(p) << p.message();
    return *p;
  }
  bool read(const Setting& s, std::uint32_t& v) { return readSetting(s, v, link, eap, codes); }
  bool write(const Setting& s, std::uint32_t v) { return writeSetting(s, v, link, eap, codes); }
  // The value the camera holds for the function, as its get answers it.
  std::string function(std::string_view payload) {
    std::string reply;
    EXPECT_TRUE(afp.get(payload, reply));
    return reply;
  }

  core::FakeClock clock{20ms};
  core::RecordingMonitorSink monitor;
  sim::VirtualCamera camera;
  link::Link link;
  link::Eap eap{link};
  link::Afp afp{link};
  FunctionCodes codes{afp, link};
};

struct Case {
  const char* what;
  Setting setting;
  std::uint32_t value;
  const char* afpGet;  // the function get that shows the value in AFP ("" = a register)
  const char* afpHolds;
};

const Case kCases[] = {
    {"byte setting", kDigitalOutputSetting, 0x02, "5103FF", "02"},
    {"word setting", kMotionTrackingRangeSetting, 0x1234, "8204FFFF", "1234"},
    {"register the gateway carries in AFP", kDisplayModeRegister, 0x01, "", ""},
};

TEST(Setting, EachProtocolReachesItsOwnFormAndReadsBackWhatWasWritten) {
  for (const auto protocol : {link::Protocol::Afp, link::Protocol::Eap}) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(testing::Message() << c.what << (protocol == link::Protocol::Afp ? " in AFP" : " in EAP"));
      Bench b(protocol);
      ASSERT_TRUE(b.write(c.setting, c.value));
      std::uint32_t back = 0;
      ASSERT_TRUE(b.read(c.setting, back));
      EXPECT_EQ(back, c.value);
      const std::uint8_t first = static_cast<std::uint8_t>(c.setting.width == 16 ? c.value >> 8 : c.value);
      const bool inRegister = protocol == link::Protocol::Eap || *c.afpGet == '\0';
      EXPECT_EQ(b.camera.memory().read(c.setting.eapRegister), inRegister ? first : 0)
          << "the register is written only when it is the form in use";
      if (protocol == link::Protocol::Afp && *c.afpGet != '\0') {
        EXPECT_EQ(b.function(c.afpGet), c.afpHolds);
      }
    }
  }
}

TEST(Setting, WithoutAFormInTheProtocolOrAFittingValueNothingIsSent) {
  const Setting afpOnly{0x1201, 0, 0, 8};  // continuous digital zoom has no register
  const Setting nowhere{0, 0, 0, 8};
  struct Refusal {
    link::Protocol protocol;
    Setting setting;
    bool write;
    std::uint32_t value;
  };
  const Refusal refusals[] = {
      {link::Protocol::Eap, afpOnly, false, 0},
      {link::Protocol::Eap, afpOnly, true, 1},
      {link::Protocol::Afp, nowhere, false, 0},
      {link::Protocol::Afp, kFocusModeSetting, true, 0x100},
      {link::Protocol::Eap, kFocusModeSetting, true, 0x100},
      {link::Protocol::Afp, kZoomPositionSetting, true, 1},  // the position is only read
  };
  for (const Refusal& r : refusals) {
    Bench b(r.protocol);
    const auto before = b.camera.frameLog().end();
    std::uint32_t v = 77;
    EXPECT_FALSE(r.write ? b.write(r.setting, r.value) : b.read(r.setting, v));
    EXPECT_EQ(v, 77u);
    EXPECT_EQ(b.camera.frameLog().end(), before);
  }
}

}  // namespace
}  // namespace orva::camera
