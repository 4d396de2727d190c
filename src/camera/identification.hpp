#pragma once
// Camera identification: reads the identification registers, walks the model table
// (model_table.hpp) and fills the model record.
//
// The identification traffic is hidden from the monitor (echo mode Hidden) and the echo mode
// the caller had is back on every way out. It reads through a RegisterReader, so the tool uses
// the link (EAP registers, or the same registers through the AFP gateway) and tests use a
// register image. A lens that failed to initialise is reported through core::Prompt and is
// never a failure.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "camera/model_record.hpp"
#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"

namespace orva::camera {

// The camera as the identification sees it. Reads return false after a failure the link has
// already reported.
class RegisterReader {
 public:
  virtual ~RegisterReader() = default;
  virtual link::Protocol protocol() const = 0;
  virtual bool readByte(std::uint16_t address, std::uint8_t& value) = 0;
  virtual bool readWord(std::uint16_t address, std::uint16_t& value) = 0;
  // An 8-bit AFP function read; asked only while the camera speaks AFP.
  virtual bool queryFunction(std::uint16_t code, std::uint8_t& value) = 0;
  virtual link::NoCameraMode noCameraMode() const = 0;
  virtual void setNoCameraMode(link::NoCameraMode mode) = 0;
};

// The reader over the link: EAP register reads, or the gateway reads and function gets in AFP.
class LinkRegisterReader final : public RegisterReader {
 public:
  LinkRegisterReader(link::Link& link, link::Eap& eap, link::Afp& afp) : link_(link), eap_(eap), afp_(afp) {}
  link::Protocol protocol() const override { return link_.protocol(); }
  bool readByte(std::uint16_t address, std::uint8_t& value) override;
  bool readWord(std::uint16_t address, std::uint16_t& value) override;
  bool queryFunction(std::uint16_t code, std::uint8_t& value) override;
  link::NoCameraMode noCameraMode() const override { return link_.noCameraMode(); }
  void setNoCameraMode(link::NoCameraMode mode) override { link_.setNoCameraMode(mode); }

 private:
  link::Link& link_;
  link::Eap& eap_;
  link::Afp& afp_;
};

// Configuration switches the identification reads, and the two it changes for the rest of
// the run ("New Feature = " and "QB165 CLOCK = ").
struct IdentificationSwitches {
  int exComMode = 0;   // "eX com mode = ": the extended communication mode when not 0
  int newFeature = 0;  // "New Feature = "
  int picModeCmd = 0;  // "PIC_MODE_CMD= "
  int qb165Clock = 0;  // "QB165 CLOCK = "
};

// What the launcher shows after an identification.
struct LauncherFields {
  std::string model;           // MODEL field
  std::string aeMode;          // AE MODE field (may be empty)
  std::string effectsCaption;  // caption of "WDR / REVERSE"; empty: unchanged
  std::string format;          // FORMAT field; empty: unchanged (0xFF08 could not be read)
};

enum class IdentifyOutcome {
  Identified,     // a model, or "Not supported" (model code 0xFF)
  AlreadyAbsent,  // no camera is present (no-camera mode 2): nothing was done
  Failed,         // a required read failed, or a family refused its selector
};

class Identification {
 public:
  Identification(RegisterReader& reader, core::MonitorSink& monitor, core::Prompt& prompt)
      : reader_(reader), monitor_(monitor), prompt_(prompt) {}

  IdentifyOutcome run(ModelRecord& record, IdentificationFlags& flags, IdentificationSwitches& switches);
  const LauncherFields& launcher() const { return launcher_; }

 private:
  RegisterReader& reader_;
  core::MonitorSink& monitor_;
  core::Prompt& prompt_;
  LauncherFields launcher_;
};

// The AE MODE field's text for the AE mode value in the protocol's numbering.
std::string aeModeText(int aeMode, link::Protocol protocol);

// The message for a lens status other than 0.
std::string lensStatusMessage(int status);

// The mask-type read: sets record.maskType; false when its register could not be read.
bool readMaskType(RegisterReader& reader, ModelRecord& record);

// "key: value" lines for the record, in the order orva-cli prints them.
std::vector<std::pair<std::string, std::string>> describeRecord(const ModelRecord& record,
                                                                const IdentificationFlags& flags);

}  // namespace orva::camera
