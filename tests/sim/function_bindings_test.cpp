#include "sim/function_bindings.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "converse.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

using testing::afpFrame;
using testing::eapFrame;

// One camera that the test addresses in either protocol, switching it as a tool would.
class OneCamera : public ::testing::Test {
 protected:
  static Profile afpProfile(std::optional<std::uint16_t> modelCode = std::nullopt) {
    Profile p;
    p.protocol = Protocol::Afp;
    p.modelCode = modelCode;
    return p;
  }

  std::string afp(const std::string& frame) { return afpFrame(*cam_, frame); }
  std::string eap(const std::string& frame) { return eapFrame(*cam_, frame); }

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

  // A fresh camera of the model, as the binding asks for one.
  void becomeModel(std::optional<std::uint16_t> modelCode) { cam_.emplace(afpProfile(modelCode)); }

  std::optional<VirtualCamera> cam_{std::in_place, afpProfile()};
};

TEST_F(OneCamera, ABoundFunctionAndItsRegisterAreOneSettingBothWays) {
  for (const FunctionBinding& b : functionBindings()) {
    SCOPED_TRACE(fmt::format("function {:04X}, register {:04X}", b.code, b.address));
    becomeModel(b.models.empty() ? std::nullopt : std::optional(b.models.front()));
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
      // Where two values share register bits, the first answers.
      EXPECT_EQ(getFunction(b), fmt::format("{:02X}", std::ranges::find(b.values, p.eap, &ValuePair::eap)->afp));
      setFunction(b, next.afp);
      // Where one value stands for several register values, the first is written.
      EXPECT_EQ(readRegister(b), fmt::format("{:02X}", others | std::ranges::find(b.values, next.afp, &ValuePair::afp)->eap));
    }
  }
}

TEST_F(OneCamera, TheAeShutterSpeedsAreNumberedByModel) {
  struct Case {
    std::optional<std::uint16_t> model;
    const char* set;  // AFP value
    const char* register_;
    const char* get;
  };
  const Case cases[] = {
      {std::nullopt, "01", "FF", "01"}, {std::nullopt, "02", "00", "02"}, {std::nullopt, "11", "0F", "11"},
      {0x1234, "06", "04", "06"},  // a model of its own without a numbering of its own
      {0x13F0, "01", "FF", "01"}, {0x14F0, "03", "02", "03"}, {0x15F0, "12", "06", "12"},
      {0x16F0, "11", "0F", "0F"},  // position 16 shares its register value with position 14
      {0x13F0, "02", "05", "06"},  // no position there: the register keeps what it held
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fmt::format("model {:04X}, set {}", c.model.value_or(0), c.set));
    becomeModel(c.model);
    eap(":WFCC905");
    afp(fmt::format("S210B{}T", c.set));
    EXPECT_EQ(eap(":RFCC900").substr(6), c.register_);
    EXPECT_EQ(afp("G210BFFT"), fmt::format("Y210B{}T", c.get));
  }
}

TEST_F(OneCamera, FunctionsLaidOutWiderThanTheirRegisterCarryItInTheToolsForm) {
  eap(":wFD460500");
  EXPECT_EQ(afp("G3401FFFFFFT"), "Y3401050000T") << "the maximum AGC gain word, then a byte not yet set";
  afp("S3401040001T");
  EXPECT_EQ(eap(":rFD460000").substr(6), "0400");
  eap(":wFD460300");
  EXPECT_EQ(afp("G3401FFFFFFT"), "Y3401030001T") << "the byte as set";

  // The weighting areas by index; an index outside 1 to 6 is no area.
  eap(":WFAE3AB");
  eap(":WFAE4CD");
  eap(":WFAE5EF");
  EXPECT_EQ(afp("G210702FFFFFFT"), "Y210702ABCDEFT");
  afp("S210706123456T");
  EXPECT_EQ(eap(":RFAEF00000000000000000000").substr(6, 6), "123456");
  afp("S210707654321T");
  EXPECT_EQ(afp("G210707FFFFFFT"), "Y210707000000T");
  EXPECT_EQ(afp("G210706FFFFFFT"), "Y210706123456T");
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
