// The function code map against a camera that answers whole AFP frames: the frames each
// row sends, how replies are taken apart, which directions a row refuses, and the replies a
// read must not believe.
#include "camera/code_map.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "link/testing/afp_camera_channel.hpp"
#include "sim/function_bindings.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/lens.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::camera {
namespace {

using namespace std::chrono_literals;
using Values = std::vector<std::uint32_t>;

struct Bench {
  Bench() : link(clock, monitor) {
    auto ch = std::make_unique<link::testing::AfpCameraChannel>(clock);
    line = ch.get();
    link.setChannel(std::move(ch));
    link.setProtocol(link::Protocol::Afp);
    EXPECT_TRUE(link.open());
  }
  core::FakeClock clock{2000ms};
  // The receive thread shows replies while the test's thread sends.
  core::RecordingMonitorSink monitor;
  link::Link link;
  link::testing::AfpCameraChannel* line = nullptr;
  link::Afp afp{link};
  FunctionCodes codes{afp, link};
};

enum class Op { Read, Write, Call };

struct Case {
  const char* what;
  std::uint16_t code;
  int bits;          // picks the row among those of one code; 0 = the first
  Op op;
  int direction;     // Op::Call only
  Values in;         // Read: indexes; Write and Call: the fields
  const char* reply; // the camera's answer to the one frame ("" = none expected)
  bool ok;
  const char* sent;  // everything on the line
  Values out;        // Read and Call: fields afterwards (the sentinel when refused)
};

const Values kUntouched{0xDEAD};

const Case kCases[] = {
    {"8-bit read", 0x1101, 0, Op::Read, 0, {}, "Y110101T", true, "G1101FFT", {0x01}},
    {"16-bit read", 0x0183, 0, Op::Read, 0, {}, "Y0183ABCDT", true, "G0183FFFFT", {0xABCD}},
    {"index kept in the read, value after its echo", 0x120E, 0, Op::Read, 0, {3}, "Y120E0342T", true,
     "G120E03FFT", {0x03, 0x42}},
    {"word and byte in turn", 0x3401, 0, Op::Read, 0, {}, "Y34011234ABT", true, "G3401FFFFFFT", {0x1234, 0xAB}},
    {"32-bit twin of 0x7106", 0x7106, 32, Op::Read, 0, {}, "Y710612345678T", true, "G7106FFFFFFFFT",
     {0x12345678}},
    {"status block one digit over", 0xF101, 0, Op::Read, 0, {}, "YF101010203040506111122223333444455556T", false,
     "GF101EET", kUntouched},
    {"status block: six bytes, five words", 0xF101, 0, Op::Read, 0, {},
     "YF10101020304050611112222333344445555T", true, "GF101EET",
     {1, 2, 3, 4, 5, 6, 0x1111, 0x2222, 0x3333, 0x4444, 0x5555}},
    {"selector sent from the caller, answered back", 0x7209, 0, Op::Read, 0, {5}, "Y72090712345678T", true,
     "G720905FFFFFFFFT", {0x07, 0x1234, 0x5678}},
    {"gateway read checks the address", 0xFE01, 0, Op::Read, 0, {0x0102}, "YFE01010253T", true, "GFE010102FFT",
     {0x0102, 0x53}},
    {"gateway read with another address", 0xFE01, 0, Op::Read, 0, {0x0102}, "YFE01010353T", false,
     "GFE010102FFT", kUntouched},
    {"not a hex digit", 0x1101, 0, Op::Read, 0, {}, "Y11010?T", false, "G1101FFT", kUntouched},
    {"lower case is not what a camera sends", 0x0183, 0, Op::Read, 0, {}, "Y0183abcdT", false, "G0183FFFFT",
     kUntouched},
    {"reply too long", 0x1101, 0, Op::Read, 0, {}, "Y1101010T", false, "G1101FFT", kUntouched},
    {"reply too short", 0x0183, 0, Op::Read, 0, {}, "Y0183ABCT", false, "G0183FFFFT", kUntouched},
    {"index echo differs", 0x120E, 0, Op::Read, 0, {3}, "Y120E0442T", false, "G120E03FFT", kUntouched},
    {"refused read", 0x1101, 0, Op::Read, 0, {}, "R03T", false, "G1101FFT", kUntouched},
    {"write-only row is not read", 0x1102, 0, Op::Read, 0, {}, "", false, "", kUntouched},
    {"index missing", 0x120E, 0, Op::Read, 0, {}, "", false, "", kUntouched},
    {"waiting write takes its completion", 0x1101, 0, Op::Write, 0, {2}, "R00TX03T", false, "S110102T", {}},
    {"motion write returns on acceptance", 0x6104, 0, Op::Write, 0, {0x1234}, "R00TX03T", true, "S61041234T", {}},
    {"two words, no wait", 0x6103, 0, Op::Write, 0, {0x0001, 0x0002}, "R00TX03T", true, "S610300010002T", {}},
    {"seven words and a byte", 0x6101, 0, Op::Write, 0, {1, 2, 3, 4, 5, 6, 7, 8}, "R00TX00T", true,
     "S61010001000200030004000500060007" "08T", {}},
    {"gateway word write", 0xFE02, 0, Op::Write, 0, {0xF850, 0x1234}, "R00TX00T", true, "SFE02F8501234T", {}},
    {"read-only row is not written", 0x0183, 0, Op::Write, 0, {1}, "", false, "", {}},
    {"value wider than its field", 0x1101, 0, Op::Write, 0, {0x100}, "", false, "", {}},
    {"wrong count of fields", 0x3401, 0, Op::Write, 0, {1}, "", false, "", {}},
    {"direction 1 writes", 0x1101, 0, Op::Call, 1, {2}, "R00TX00T", true, "S110102T", {2}},
    {"any other direction reads", 0x1101, 0, Op::Call, 7, {0}, "Y110102T", true, "G1101FFT", {2}},
    {"index taken from the fields", 0x120E, 0, Op::Call, 2, {4, 0}, "Y120E0499T", true, "G120E04FFT", {4, 0x99}},
    {"strict read with direction 2", 0x720F, 0, Op::Call, 2, {0}, "Y720F0102T", true, "G720FFFFFT", {0x0102}},
    {"strict read refuses direction 3", 0x720F, 0, Op::Call, 3, {0}, "", false, "", {0}},
    {"strict read refuses direction 1", 0x2201, 0, Op::Call, 1, {0}, "", false, "", {0}},
    {"0x7104 reads for direction 1", 0x7104, 0, Op::Call, 1, {0, 0, 0, 0}, "Y710401020304T", true,
     "G7104FFFFFFFFT", {1, 2, 3, 4}},
    {"read-only row refuses direction 1", 0x110D, 0, Op::Call, 1, {0}, "", false, "", {0}},
};

TEST(CodeMap, EachRowSendsItsFrameAndBelievesOnlyAWellFormedReply) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Bench b;
    const CodeInfo* info = findCode(c.code, c.bits);
    ASSERT_NE(info, nullptr);
    if (*c.reply != '\0') b.line->answerNext(c.reply);
    Values fields = c.op == Op::Call ? c.in : kUntouched;
    bool ok = false;
    switch (c.op) {
      case Op::Read: ok = b.codes.read(*info, fields, c.in); break;
      case Op::Write: ok = b.codes.write(*info, c.in); break;
      case Op::Call: ok = b.codes.call(*info, c.direction, fields); break;
    }
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(b.line->sent(), c.sent);
    if (c.op != Op::Write) {
      EXPECT_EQ(fields, c.out);
    }
    if (info->flags & kGateway) {
      EXPECT_EQ(b.monitor.pc() + b.monitor.camera(), "") << "the gateway is quiet";
    }
    EXPECT_EQ(b.monitor.echoMode(), core::EchoMode::Shown);
  }
}

// The lens, and a function bound to its register through a value map, keep only the values
// the function means; the preset functions move the lens, and a get says where it went.
bool keepsMeaningsOnly(std::uint16_t code) {
  static constexpr std::uint16_t kLens[] = {sim::kFocusDriveFunction, sim::kZoomDriveFunction,
                                            sim::kZoomSpeedFunction, sim::kZoomPositionFunction,
                                            0x6101, 0x6102, 0x6103, 0x6106, 0x610D};
  return std::find(std::begin(kLens), std::end(kLens), code) != std::end(kLens) ||
         std::ranges::any_of(sim::functionBindings(),
                             [code](const sim::FunctionBinding& b) { return b.code == code && !b.values.empty(); });
}

// Every row that can be both written and read, through a camera that keeps what it was set
// to: the payload a write builds and the reply a read takes apart agree for every layout.
TEST(CodeMap, EveryReadWriteRowRoundTripsThroughTheVirtualCamera) {
  sim::Profile profile;
  profile.protocol = sim::Protocol::Afp;
  core::FakeClock clock{20ms};
  core::RecordingMonitorSink monitor;
  sim::VirtualCamera camera(profile);
  link::Link link(clock, monitor);
  link.setChannel(std::make_unique<sim::InProcessChannel>(camera, clock, false));
  link.setLineSettings(profile.lineSettings());
  link.setProtocol(link::Protocol::Afp);
  ASSERT_TRUE(link.open());
  link::Afp afp(link);
  FunctionCodes codes(afp, link);
  int rows = 0;
  for (const CodeInfo& info : codeMap()) {
    if (!info.readable() || !info.writable()) continue;
    // A pattern does not come back from these.
    if (keepsMeaningsOnly(info.code)) continue;
    SCOPED_TRACE(testing::Message() << std::hex << info.code);
    // Fill each field to its width with a pattern that differs per position.
    Values written, indexes;
    for (std::size_t i = 0; i < info.fields.size(); ++i) {
      const unsigned bits = info.fields[i].bits;
      const std::uint32_t v = (0x13579BDFu >> (i % 4)) & (bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1);
      written.push_back(v);
      if (info.fields[i].kind != FieldKind::Value) indexes.push_back(v);
    }
    ASSERT_TRUE(codes.write(info, written));
    Values back;
    ASSERT_TRUE(codes.read(info, back, indexes));
    EXPECT_EQ(back, written);
    ++rows;
  }
  EXPECT_GT(rows, 100);  // fewer as the camera comes to act on more functions
}

}  // namespace
}  // namespace orva::camera
