#include "sim/function_bindings.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "converse.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

using namespace std::chrono_literals;
using testing::converse;

// One camera that the test addresses in either protocol, switching it as a tool would.
class OneCamera : public ::testing::Test {
 protected:
  static Profile afpProfile() {
    Profile p;
    p.protocol = Protocol::Afp;
    return p;
  }

  std::string afp(const std::string& frame) {
    if (camera.protocol() != Protocol::Afp) converse(camera, ":WFA5801");
    return converse(camera, frame);
  }
  std::string eap(const std::string& frame) {
    if (camera.protocol() != Protocol::Eap) {
      converse(camera, "SFD0101T");
      camera.advanceTo(camera.now() + 1s);  // the switch waits for the set's completion
      camera.takeOutput();
    }
    return converse(camera, frame);
  }

  void setFunction(const FunctionBinding& b, unsigned value) {
    const auto digits = b.word ? fmt::format("{:04X}", value) : fmt::format("{:02X}", value);
    ASSERT_EQ(afp(fmt::format("S{:04X}{}T", b.code, digits)).substr(0, 1), "R");
  }
  std::string getFunction(const FunctionBinding& b) {
    const std::string reply = afp(fmt::format("G{:04X}{}T", b.code, b.word ? "FFFF" : "FF"));
    return reply.substr(5, reply.size() - 6);
  }
  void writeRegister(const FunctionBinding& b, unsigned value) {
    eap(b.word ? fmt::format(":w{:04X}{:04X}", b.address, value) : fmt::format(":W{:04X}{:02X}", b.address, value));
  }
  std::string readRegister(const FunctionBinding& b) {
    const std::string reply = eap(b.word ? fmt::format(":r{:04X}0000", b.address) : fmt::format(":R{:04X}00", b.address));
    return reply.substr(6);
  }

  VirtualCamera camera{afpProfile()};
};

TEST_F(OneCamera, ABoundFunctionAndItsRegisterAreOneSettingBothWays) {
  for (const FunctionBinding& b : functionBindings()) {
    SCOPED_TRACE(fmt::format("function {:04X}, register {:04X}", b.code, b.address));
    if (b.values.empty()) {
      const unsigned wide = b.word ? 0xBEEF : 0xA5;
      const unsigned narrow = b.word ? 0x1234 : 0x5A;
      setFunction(b, wide);
      EXPECT_EQ(readRegister(b), b.word ? "BEEF" : "A5");
      writeRegister(b, narrow);
      EXPECT_EQ(getFunction(b), b.word ? "1234" : "5A");
      continue;
    }
    // The register's other bits are set throughout, and stay so.
    const auto others = static_cast<unsigned>(~b.mask & 0xFFu);
    for (std::size_t i = 0; i < b.values.size(); ++i) {
      const ValuePair& p = b.values[i];
      const ValuePair& next = b.values[(i + 1) % b.values.size()];
      writeRegister(b, others | p.eap);
      EXPECT_EQ(getFunction(b), fmt::format("{:02X}", p.afp));
      setFunction(b, next.afp);
      EXPECT_EQ(readRegister(b), fmt::format("{:02X}", others | next.eap));
    }
  }
}

TEST_F(OneCamera, ValuesOutsideAMapChangeNothingAndReadAsZero) {
  const FunctionBinding& aeMode = *std::ranges::find(functionBindings(), 0x2105, &FunctionBinding::code);
  writeRegister(aeMode, 0x21);
  setFunction(aeMode, 0x0D);
  EXPECT_EQ(readRegister(aeMode), "21");
  writeRegister(aeMode, 0xFF);
  EXPECT_EQ(getFunction(aeMode), "00");
}

TEST_F(OneCamera, TheStatusBlockIsDrawnFromTheCameraInTheCodeMapsWidth) {
  EXPECT_EQ(afp("GF101EET"), "YF101000010000100" + std::string(20, '0') + "T")
      << "Program AE, normal light source, the rest off";
  afp("S110102T");   // manual focus
  afp("S210504T");   // Program AE+
  afp("S830102T");   // image stabiliser on
  eap(":WFECE02");   // back light compensation on
  eap(":WFF9010");   // whiteout reduction
  eap(":wF7120123"); // focus position
  afp("S310102T");   // manual white balance
  eap(":WF9F203");   // mercury light source
  afp("S710102T");   // privacy masks shown
  eap(":wFFDE0456"); // gain
  EXPECT_EQ(afp("GF101EET"), "YF101010640880341" "0123" + std::string(12, '0') + "0456T");
}

}  // namespace
}  // namespace orva::sim
