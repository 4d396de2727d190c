#pragma once
// A virtual camera on an in-process line, in virtual time, with everything a panel works
// with: the monitor, the prompt, the operation runner, a dispatcher whose window thread is
// the test's, and the model record.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "camera/code_map.hpp"
#include "camera/model_record.hpp"
#include "panels/fake_panel_host.hpp"
#include "camera/setting.hpp"
#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"
#include "panels/camera_access.hpp"
#include "panels/dispatch.hpp"
#include "panels/fake_panel_view.hpp"
#include "panels/operation_runner.hpp"
#include "panels/panel_logic.hpp"
#include "sim/faults.hpp"
#include "support/sim_faults.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/profile.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::panels::testing {

using namespace std::chrono_literals;

inline std::string_view name(link::Protocol p) { return p == link::Protocol::Afp ? "AFP" : "EAP"; }

inline sim::Profile profile(link::Protocol protocol, std::string_view statements) {
  auto p = sim::parseProfile(std::string("settings 9600,E,8,1\nprotocol ") +
                             (protocol == link::Protocol::Afp ? "afp" : "eap") + "\n" + std::string(statements));
  EXPECT_TRUE(p) << p.message();
  return p ? *p : sim::Profile{};
}

using ::orva::testing::faults;

struct Bench {
  explicit Bench(link::Protocol protocol, std::string_view statements = "", std::vector<sim::Fault> fs = {})
      : Bench(protocol, profile(protocol, statements), std::move(fs)) {}
  // A camera of a whole profile, such as a model of the table; it listens at 9600,E,8,1.
  Bench(link::Protocol protocol, sim::Profile whole, std::vector<sim::Fault> fs = {})
      : camera(std::move(whole), std::move(fs)), link(clock, monitor) {
    link.setChannel(std::make_unique<sim::InProcessChannel>(camera, clock, false));
    link.setLineSettings({9600, true});
    link.setProtocol(protocol);
    EXPECT_TRUE(link.open());
  }

  // A function's value as the camera holds it (AFP), e.g. "02" for get "1203FF".
  std::string function(std::string_view getPayload) {
    std::string reply;
    EXPECT_TRUE(afp.get(getPayload, reply));
    return reply;
  }
  // Frames the camera heard since `from`.
  std::vector<std::string> heardSince(std::uint64_t from) const {
    std::vector<std::string> out;
    for (const auto& r : camera.frameLog().since(from))
      if (!r.fromCamera) out.push_back(r.sent);
    return out;
  }
  std::uint64_t mark() const { return camera.frameLog().end(); }
  // Runs what a panel started to its end and shows what it posted.
  void settle() {
    do runner.waitIdle();
    while (dispatcher.runPending() > 0 || runner.busy());
  }

  // The camera answers on another thread (AFP): time moves on only once it has had 100 ms of
  // real time to do so, which a loaded machine needs; waits that do run out cost that much.
  core::FakeClock clock{100ms};
  core::RecordingMonitorSink monitor;
  core::ScriptedPrompt prompt;
  sim::VirtualCamera camera;
  link::Link link;
  link::Eap eap{link};
  link::Afp afp{link};
  camera::FunctionCodes codes{afp, link};
  CameraAccess access{link, eap, codes};
  QueuedDispatcher dispatcher;
  OperationRunner runner{monitor, dispatcher};
  camera::ModelRecord model;
  bool portOpen = true;
  FakePanelHost host;
  PanelContext context{access, monitor, prompt, clock, runner, dispatcher, model, [this] { return portOpen; },
                       &host};
};

// A panel on a bench and the view it draws on; the fixture makes `logic` once it has set the
// model record the panel reads as it is made.
struct PanelOnBench {
  explicit PanelOnBench(link::Protocol protocol, std::string_view statements = "", std::vector<sim::Fault> fs = {})
      : bench(protocol, statements, std::move(fs)) {}
  PanelOnBench(link::Protocol protocol, sim::Profile whole) : bench(protocol, std::move(whole)) {}
  void act(const Intent& in) {
    logic->intent(in);
    bench.settle();
  }
  bool logged(std::string_view text) const { return bench.monitor.log().find(text) != std::string::npos; }
  // What each frame heard since `since` reads or writes: the register (EAP, or AFP through the
  // gateway) or the function.
  std::vector<std::string> targets(std::uint64_t since) const {
    std::vector<std::string> out;
    for (const auto& f : bench.heardSince(since))
      out.push_back(f[0] == ':' ? f.substr(2, 4) : f.starts_with("GFE0") || f.starts_with("SFE0") ? f.substr(5, 4)
                                                                                                 : f.substr(1, 4));
    return out;
  }

  Bench bench;
  FakePanelView view;
  std::unique_ptr<PanelLogic> logic;
  std::uint64_t from = bench.mark();  // where the frames of the panel under test begin
};

using Frames = std::vector<std::string>;
inline bool has(const Frames& frames, std::string_view frame) { return std::ranges::find(frames, frame) != frames.end(); }
inline bool mentions(const Frames& frames, std::string_view part) {
  return std::ranges::any_of(frames, [part](const std::string& f) { return f.find(part) != std::string::npos; });
}
// The writes among `frames` (EAP's and AFP's), in order: the reads left out.
inline Frames writes(const Frames& frames) {
  Frames out;
  for (const auto& f : frames)
    if (f.starts_with(":W") || f.starts_with(":w") || f.starts_with("#") || f.starts_with("S")) out.push_back(f);
  return out;
}

// A register as the camera holds it. In AFP the receive thread keeps the camera's time (and
// its lens) going, so the register is asked over the line there rather than looked at.
inline std::uint32_t registerValue(Bench& b, std::uint16_t address, int width) {
  if (b.link.protocol() == link::Protocol::Afp) {
    std::uint32_t v = 0;
    EXPECT_TRUE(b.access.read(camera::registerSetting(address, width), v)) << address;
    return v;
  }
  const auto& m = b.camera.memory();
  return width == 8 ? m.read(address)
                    : static_cast<std::uint32_t>(m.read(address) << 8u | m.read(static_cast<std::uint16_t>(address + 1)));
}
inline std::uint16_t word(Bench& b, std::uint16_t address) { return static_cast<std::uint16_t>(registerValue(b, address, 16)); }
inline std::uint8_t byte(Bench& b, std::uint16_t address) { return static_cast<std::uint8_t>(registerValue(b, address, 8)); }

}  // namespace orva::panels::testing
