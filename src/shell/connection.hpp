#pragma once
// The line to the camera and what it found there: the link with its two protocols and the
// negotiator, the AFP function codes, the changed-address list the link feeds, the model
// record with the identification flags, the launcher's MODEL, AE MODE and FORMAT fields, and
// the port field. It opens and identifies; the session decides what a connect or a
// disconnect does beyond the line (launcher, menus, backup offer).
//
// Threads: the window thread owns it. identify() and the line work of open() touch only the
// link, the monitor and the prompt, so they may run on another thread while the window thread
// waits; what they found is taken over on the window thread (adopt(), take()).
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "camera/code_map.hpp"
#include "camera/gating.hpp"
#include "camera/identification.hpp"
#include "camera/model_record.hpp"
#include "core/clock.hpp"
#include "core/prompt.hpp"
#include "eeprom/changed_addresses.hpp"
#include "eeprom/range.hpp"
#include "link/afp.hpp"
#include "link/byte_channel.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"
#include "link/negotiator.hpp"
#include "shell/monitor.hpp"
#include "shell/settings.hpp"

namespace orva::shell {

// Runs a job of the line, on the window thread or off it, and returns when it has ended.
using LineWork = std::function<void(const std::function<void()>&)>;

// What one identification found.
struct Identity {
  camera::ModelRecord record;
  camera::IdentificationFlags flags;
  camera::LauncherFields fields;
};

// What the line work of a connect came to.
struct LineOutcome {
  enum class Stage { OpenFailed, IdentificationFailed, Identified };
  Stage stage = Stage::OpenFailed;
  bool found = false;  // a camera answered the negotiation (not so with "/DS" and no camera)
  camera::IdentificationSwitches switches;  // as the identification left them
  Identity identity;
};

class Connection {
 public:
  // `noCamera`: "/DS", a line without a camera goes on with the simulated one.
  Connection(const Settings& settings, bool noCamera, Monitor& monitor, core::Clock& clock, core::Prompt& prompt);
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // The line the next open() opens, and the name the port field shows for it.
  void setChannel(std::unique_ptr<link::ByteChannel> channel, std::string portName);

  // Forgets the camera connected before, then opens the line in `settings`' line settings
  // and protocol, negotiates (unless "RS Negotiate" is 0) and identifies, through `lineWork`
  // (inline when empty). Nothing is taken over yet: see adopt().
  LineOutcome open(const Settings& settings, const LineWork& lineWork);
  // The camera open() identified becomes the connected one; the port field shows
  // `settingsText`.
  void adopt(const Identity& identity, const std::string& settingsText);
  // A fresh identification of the connected camera (after a restart, or asked for again).
  void take(const Identity& identity);
  // Closes the line; the launcher's fields show that no camera is connected.
  void close();

  // One identification on the calling thread; false when a required read failed (the link
  // has reported it). `record` keeps the values an identification does not read.
  bool identify(camera::ModelRecord& record, camera::IdentificationFlags& flags, camera::LauncherFields& fields,
                camera::IdentificationSwitches& switches);
  // The switches the identification reads, as `settings` holds them.
  static camera::IdentificationSwitches identificationSwitches(const Settings& settings);
  // Reads the camera's AE mode again into the AE MODE field, as the identification shows it;
  // false (nothing changed) when the read failed.
  bool readAeMode();
  // Reads a setting for the menu gating.
  camera::SettingReader settingReader();

  // The EEPROM the range functions cover for the connected model; any thread.
  eeprom::Range range() const;

  // The lens the camera emulates, as a lens panel switched it ("36x mode" / "35x mode").
  void setLensIndex(int lensIndex) { record_.lensIndex = lensIndex; }
  // The NTSC timing flag as a readout of the camera mode found it.
  void setNtscTiming(bool ntsc) { flags_.ntscTiming = ntsc; }
  // The lens-control word an OUTPUT MODE change left, and the FORMAT field and format-switch
  // mode a MODEL command changed.
  void setLensControlWord(std::uint16_t word) { record_.lensControlWord = word; }
  void setFormatField(std::string text) { fields_.format = std::move(text); }
  void setFormatSwitchMode(int mode) { record_.formatSwitchMode = mode; }

  bool isOpen() const { return portOpen_; }
  const camera::ModelRecord& model() const { return record_; }
  const camera::IdentificationFlags& flags() const { return flags_; }
  const camera::LauncherFields& launcherFields() const { return fields_; }
  // " <port>: <settings text>" while connected, empty otherwise.
  const std::string& portField() const { return portField_; }

  link::Link& link() { return link_; }
  const link::Link& link() const { return link_; }
  link::Eap& eap() { return eap_; }
  link::Afp& afp() { return afp_; }
  link::Negotiator& negotiator() { return negotiator_; }
  camera::FunctionCodes& functionCodes() { return codes_; }
  eeprom::ChangedAddresses& changedAddresses() { return changed_; }

 private:
  Monitor& monitor_;
  core::Prompt& prompt_;
  const int eepromSize_;

  link::Link link_;
  link::Eap eap_{link_};
  link::Afp afp_{link_};
  link::Negotiator negotiator_{link_, eap_, afp_};
  camera::FunctionCodes codes_{afp_, link_};
  // The model code the EEPROM range follows; the link's writes reach it from any thread.
  std::atomic<std::uint16_t> rangeModel_{camera::kModelNotIdentified};
  eeprom::ChangedAddresses changed_{[this] { return range(); }};

  camera::ModelRecord record_;
  camera::IdentificationFlags flags_;
  camera::LauncherFields fields_;
  std::string portName_;
  std::string portField_;
  bool portOpen_ = false;
};

}  // namespace orva::shell
