#pragma once
// Connecting to the camera: the link settings, the search for a speed and protocol the camera
// answers in, the switch of the camera between the two protocols, and the change of the
// camera's own line speed.
//
// The questions of the camera speed change come through core::Prompt; the dialogs that pick
// the port, speed and parity are the desktop tool's.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/prompt.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"
#include "link/settings_forms.hpp"

namespace orva::link {

// The settings form for a code of SpeedRank + 10 x ParityIndex (1-6 even, 11-16 none).
std::optional<SettingsForm> formForLinkCode(int code);
// The form the line runs at (4800,E when the line settings match none).
SettingsForm formOf(const LineSettings& s);
inline LineSettings lineSettingsOf(const SettingsForm& f) { return {f.baud, f.evenParity}; }

// The speeds the port dialog offers, in list order; the position is not the speed rank.
struct SpeedChoice {
  std::string_view label;
  int speedRank;
};
std::vector<SpeedChoice> portDialogSpeeds();
// The camera speeds offered for a model: by the model code, or by the speed capability from
// identification when it is 1-3 (1: 4800 and 9600; 2: up to 38400; 3: up to 57600).
std::vector<SpeedChoice> cameraSpeeds(std::uint16_t modelCode, int speedCapability);

// The code written to the camera for its new speed (the ten forms up to 57600 only).
std::optional<std::uint8_t> eapSpeedCode(const SettingsForm& form, std::uint16_t modelCode);
std::optional<std::uint8_t> afpSpeedCode(const SettingsForm& form);

// The register and codes the camera reacts to.
inline constexpr std::uint16_t kProbeRegister = 0x0102;
inline constexpr std::uint16_t kSpeedRegister = 0xE05E;
inline constexpr std::uint16_t kResetRegister = 0xFCAC;
inline constexpr std::uint16_t kToAfpRegister = 0xFA58;
inline constexpr std::uint16_t kGatewayByteCode = 0xFE01;
inline constexpr std::uint16_t kSpeedCode = 0x0181;
inline constexpr std::uint16_t kResetCode = 0x0102;
inline constexpr std::uint16_t kToEapCode = 0xFD01;

class Negotiator {
 public:
  Negotiator(Link& link, Eap& eap, Afp& afp) : link_(link), eap_(eap), afp_(afp) {}

  // One read of register 0x0102 in the current protocol (in AFP through the gateway).
  bool probe();
  // Finds settings and a protocol the camera answers in: the current ones, then the ten
  // forms up to 57600 in this protocol, then in the other. On failure the settings and the
  // protocol of the start are back and false is returned.
  bool negotiate();
  // Opens the line and, when asked, negotiates. A failed connect leaves the line closed.
  bool connect(bool negotiate);
  // The last connect failed because the line did not open, not because no camera answered.
  bool openFailed() const { return openFailed_; }
  void disconnect();

  // Switches the camera to the other protocol and reopens the line.
  bool switchProtocol();

  enum class SpeedChange { Unchanged, Cancelled, Changed, Failed };
  // Asks, writes the camera's new speed code, resets the camera and waits for its restart.
  // Changed: the line settings are the new ones; the caller connects again.
  SpeedChange changeCameraSpeed(const SettingsForm& to, std::uint16_t modelCode, core::Prompt& prompt);

 private:
  bool scanForms();
  void accessCheckHeading();
  void say(std::string_view monitorForm);

  Link& link_;
  Eap& eap_;
  Afp& afp_;
  bool openFailed_ = false;
};

}  // namespace orva::link
