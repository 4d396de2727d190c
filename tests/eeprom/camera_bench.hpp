#pragma once
// A camera on an in-process line, for the EEPROM runs: the virtual camera of a model, a link
// at its settings, and the two protocols, in virtual time.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <vector>
#include <string_view>

#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "eeprom/image.hpp"
#include "eeprom/range.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "sim/faults.hpp"
#include "support/sim_faults.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/model_profiles.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::testing {

using namespace std::chrono_literals;

inline constexpr std::uint16_t kQb183 = 0x13F0;

inline sim::Profile profileOf(std::string_view model, sim::Protocol protocol) {
  auto p = sim::modelProfile(model, protocol);
  EXPECT_TRUE(p) << model;
  return p ? *p : sim::Profile{};
}

// A QB-183 (EEPROM 0x0800-0x17FF) unless told otherwise.
struct Bench {
  Bench(sim::Protocol protocol, std::vector<sim::Fault> fs = {}, int blockMode = 0)
      : Bench(profileOf("QB-183", protocol), protocol, std::move(fs), blockMode) {}
  Bench(sim::Profile profile, sim::Protocol protocol, std::vector<sim::Fault> fs, int blockMode,
        std::uint16_t modelCode = kQb183)
      : range(eeprom::cameraRange(modelCode, 0)), camera(profile, std::move(fs)), link(clock, monitor) {
    link.setChannel(std::make_unique<sim::InProcessChannel>(camera, clock, false));
    link.setLineSettings(camera.settings());
    link.setProtocol(protocol == sim::Protocol::Afp ? link::Protocol::Afp : link::Protocol::Eap);
    link.setBlockReadMode(blockMode);
    EXPECT_TRUE(link.open());
    // A pattern no two rows share, so a row read from the wrong address shows.
    for (std::size_t i = 0; i < range.bytes(); ++i)
      camera.memory().write(static_cast<std::uint16_t>(range.start + i), static_cast<std::uint8_t>(i * 7 + i / 16));
  }

  eeprom::Image cameraImage() const {
    eeprom::Image image{range.start, {}};
    for (std::size_t i = 0; i < range.bytes(); ++i)
      image.bytes.push_back(camera.memory().read(static_cast<std::uint16_t>(range.start + i)));
    return image;
  }

  eeprom::Range range;
  // The camera answers on another thread (AFP): time moves on only once it has had 100 ms of
  // real time to do so, which a loaded machine needs; waits that do run out cost that much.
  core::FakeClock clock{100ms};
  core::RecordingMonitorSink monitor;
  core::ScriptedPrompt prompt;
  sim::VirtualCamera camera;
  link::Link link;
  link::Eap eap{link};
  link::Afp afp{link};
};

// A read or write path: the protocol, and the block-read mode the link starts in.
struct LinePath {
  sim::Protocol protocol;
  int blockMode;
};
inline constexpr LinePath kLinePaths[] = {{sim::Protocol::Eap, 0}, {sim::Protocol::Eap, 2}, {sim::Protocol::Afp, 0}};
inline std::string linePathName(const ::testing::TestParamInfo<LinePath>& p) {
  return std::string(p.param.protocol == sim::Protocol::Afp ? "Afp" : "Eap") +
         (p.param.blockMode == 2 ? "BlockReads" : "ByteReads");
}

inline std::string contents(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::size_t entries(const std::filesystem::path& folder) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

// Stops the run once the progress bar has moved, as an operator pressing cancel mid-run.
class CancelAfterFirstStep final : public core::Prompt {
 public:
  core::Answer ask(std::string_view, std::string_view, core::Buttons, core::Icon) override { return core::Answer::Ok; }
  std::optional<std::filesystem::path> chooseFile(const core::FileChoice&) override { return std::nullopt; }
  void progress(std::string_view, std::size_t done, std::size_t) override {
    if (done > 0) cancelled_ = true;
  }
  bool cancelled() const override { return cancelled_; }
  void busy(bool) override {}

 private:
  bool cancelled_ = false;
};

}  // namespace orva::testing
