// Any register values and any failed read: the identification ends in a model of the table,
// "Not supported" or a clean failure, and the echo mode is always put back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_check.hpp"
#include "camera/identification.hpp"
#include "camera/model_table.hpp"
#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"

using orva::fuzz::check;

namespace {


// Answers each read with the next bytes of the input; read number `failAt` fails, and so does
// every read once the input is used up.
class InputCamera final : public orva::camera::RegisterReader {
 public:
  InputCamera(const std::uint8_t* data, std::size_t size, orva::link::Protocol protocol,
              orva::link::NoCameraMode mode, int failAt)
      : data_(data), size_(size), protocol_(protocol), mode_(mode), failAt_(failAt) {}
  orva::link::Protocol protocol() const override { return protocol_; }
  bool readByte(std::uint16_t, std::uint8_t& v) override {
    if (!take(1)) return false;
    v = data_[pos_ - 1];
    return true;
  }
  bool readWord(std::uint16_t, std::uint16_t& v) override {
    if (!take(2)) return false;
    v = static_cast<std::uint16_t>(data_[pos_ - 2] << 8 | data_[pos_ - 1]);
    return true;
  }
  bool queryFunction(std::uint16_t address, std::uint8_t& v) override { return readByte(address, v); }
  orva::link::NoCameraMode noCameraMode() const override { return mode_; }
  void setNoCameraMode(orva::link::NoCameraMode m) override { mode_ = m; }

 private:
  bool take(std::size_t n) {
    if (reads_++ == failAt_ || size_ - pos_ < n) return false;
    pos_ += n;
    return true;
  }
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  orva::link::Protocol protocol_;
  orva::link::NoCameraMode mode_;
  int failAt_;
  int reads_ = 0;
};

bool inTable(const orva::camera::ModelRecord& r) {
  for (const auto& row : orva::camera::models())
    for (const auto& v : row.variants)
      if (!v.name.empty() && v.name == r.name && v.code == r.modelCode) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  using namespace orva;
  const auto protocol = data[0] & 1 ? link::Protocol::Afp : link::Protocol::Eap;
  const auto mode = data[0] & 2 ? link::NoCameraMode::Allowed : link::NoCameraMode::Normal;
  InputCamera cam(data + 2, size - 2, protocol, mode, data[1] == 0xFF ? -1 : data[1]);
  core::RecordingMonitorSink monitor;
  monitor.setEchoMode(core::EchoMode::StatusLine);
  core::ScriptedPrompt prompt;
  camera::ModelRecord record;
  camera::IdentificationFlags flags;
  camera::IdentificationSwitches switches{.exComMode = data[0] >> 4};

  const auto outcome = camera::Identification(cam, monitor, prompt).run(record, flags, switches);
  check(monitor.echoMode() == core::EchoMode::StatusLine);
  check(outcome != camera::IdentifyOutcome::AlreadyAbsent);
  if (mode == link::NoCameraMode::Normal) check(cam.noCameraMode() == link::NoCameraMode::Normal);
  if (outcome == camera::IdentifyOutcome::Identified) {
    check((record.name == camera::kNotSupported && record.modelCode == camera::kModelNotIdentified) ||
          inTable(record));
    check(record.lensIndex >= 0 && record.lensIndex <= 28);
    check(record.processorClass >= 0 && record.processorClass <= 11);
    check(prompt.asked().size() <= 1);
  }
  return 0;
}
