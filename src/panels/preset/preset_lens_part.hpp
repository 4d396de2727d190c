#pragma once
// What the EEPROM and camera preset panels share of the lens: the "Goto ZOOM" group (a
// magnification and "START"), the zoom speed buttons, the digital zoom controls ("CONT. ZM",
// "INST. ZM" and the instant magnification) and the focus mode buttons with the focus arrows.
//
// A panel appends lensPartControls() to its own controls and derives from PresetLensPart,
// handing it its intents (handleLens) and calling readLens() on open. The speed and digital
// zoom controls are bound and read by the description; the focus mode is the camera's
// (lens::readFocusMode) and its buttons switch it on the operation slot
// (lens::switchFocusMode), the arrows enabled only in manual focus.
//
// Goto ZOOM: up to two decimal digits, 1 or more; anything else ("0", nothing, a non-digit)
// beeps and sends nothing. A magnification above the lens's maximum is replaced by the maximum
// in the entry before it goes out. EAP: the preset command word 0x0400 + the magnification in
// BCD (12 as 0x12), waited for as runPresetCommand does; AFP: the go-to-zoom function with the
// BCD magnification, whose completion ends the run. After a run ends well, lensRefresh() reads
// back what it may have changed (EAP the focus mode and CONT. ZM; AFP also INST. ZM and the
// instant magnification); a failed read there closes the panel.
//
// Window thread, except the runs and refreshes on the operation slot.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "camera/lens_tables.hpp"
#include "panels/hold_button.hpp"
#include "panels/lens/lens_choices.hpp"
#include "panels/lens/lens_operations.hpp"
#include "panels/panel_logic.hpp"
#include "panels/preset/eeprom_preset_run.hpp"

namespace orva::panels::preset {

namespace lens_part {
inline constexpr ControlId kGotoZoom = 100;       // the magnification entry
inline constexpr ControlId kGotoZoomStart = 101;  // its "START"
inline constexpr ControlId kSpeed = 102;
inline constexpr ControlId kContinuousZoom = 103;
inline constexpr ControlId kInstantZoom = 104;
inline constexpr ControlId kInstantMax = 105;
inline constexpr ControlId kFocusMode = 106;
inline constexpr ControlId kFocusNear = 107;
inline constexpr ControlId kFocusFar = 108;

inline constexpr std::string_view kGotoZoomGroup = "Goto ZOOM";
inline constexpr std::string_view kStart = "START";
inline constexpr std::string_view kGotoZoomStartName = "Goto ZOOM START";
inline constexpr std::string_view kGotoZoomHeading = "Goto ZOOM Start !!";
inline constexpr std::string_view kGotoZoomName = "Goto ZOOM";
inline constexpr std::string_view kContinuousZoomCaption = "CONT. ZM";
inline constexpr std::string_view kInstantZoomCaption = "INST. ZM";
inline constexpr std::string_view kInstantMaxName = "INST. ZM MAX";
inline constexpr std::string_view kFocusGroup = "FOCUS";
inline constexpr std::string_view kZoomSpeedName = "ZOOM SPEED";

// The focus mode buttons, shown as the camera's mode is read: 0 auto, 1 manual.
inline constexpr Choice kFocusModes[] = {{lens::texts::kAutoFocus, {0, 0}}, {lens::texts::kManualFocus, {1, 1}}};

inline constexpr std::uint16_t kGotoZoomWord = 0x0400;
inline constexpr std::uint16_t kGotoZoomFunction = 0x6106;

inline bool digital(const camera::ModelRecord& m, link::Protocol) { return camera::lens::hasDigitalZoom(m); }
inline std::vector<std::string> speedCaptionsOf(const camera::ModelRecord& m) {
  return lens::speedCaptions(m.lensIndex);
}

// The digits of a magnification read as hexadecimal: 12 → 0x12.
constexpr std::uint32_t bcd(int value) {
  return static_cast<std::uint32_t>((value / 10) * 16 + value % 10);
}
// A Goto ZOOM entry: 1 to 99, up to two decimal digits (blanks around them allowed).
std::optional<int> magnificationOf(std::string_view text);
}  // namespace lens_part

inline constexpr std::size_t kLensPartCount = 9;

// The lens part's controls, in `column`.
constexpr std::array<ControlDescription, kLensPartCount> lensPartControls(std::uint8_t column) {
  namespace L = lens_part;
  ControlDescription gotoEntry = entry(L::kGotoZoom, "", Binding{}, Format::Decimal, 0, 99);
  gotoEntry.binding = std::optional<Binding>{};
  ControlDescription focus = ownChoice(L::kFocusMode, "", L::kFocusModes);
  return {
      gotoEntry.named(L::kGotoZoomGroup).inGroup(L::kGotoZoomGroup, column),
      button(L::kGotoZoomStart, L::kStart).named(L::kGotoZoomStartName).inGroup(L::kGotoZoomGroup, column),
      radio(L::kSpeed, "", Binding{camera::kZoomSpeedSetting, lens::kSpeedBits}, lens::kSpeeds)
          .withItemCaptions(L::speedCaptionsOf)
          .named(L::kZoomSpeedName)
          .inColumn(column),
      check(L::kContinuousZoom, L::kContinuousZoomCaption, Binding{camera::lens::kContinuousZoomSetting}, {0, 1},
            {1, 2})
          .shownFor(L::digital)
          .inColumn(column),
      check(L::kInstantZoom, L::kInstantZoomCaption, Binding{camera::lens::kInstantZoomSetting, 0x80}, {0x00, 1},
            {0x80, 2})
          .shownFor(L::digital)
          .inColumn(column),
      entry(L::kInstantMax, "", Binding{camera::lens::kInstantMaxSetting}, Format::Tenths, 10, 20)
          .named(L::kInstantMaxName)
          .shownFor(L::digital)
          .inColumn(column),
      focus.named(L::kFocusGroup).inGroup(L::kFocusGroup, column),
      arrow(L::kFocusNear, ArrowRole::FocusNear, kFocusNearDrive).inGroup(L::kFocusGroup, column),
      arrow(L::kFocusFar, ArrowRole::FocusFar, kFocusFarDrive).inGroup(L::kFocusGroup, column),
  };
}

// `own` followed by the lens part in `column`.
template <std::size_t N>
constexpr std::array<ControlDescription, N + kLensPartCount> withLensPart(const std::array<ControlDescription, N>& own,
                                                                          std::uint8_t column) {
  std::array<ControlDescription, N + kLensPartCount> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = own[i];
  const auto part = lensPartControls(column);
  for (std::size_t i = 0; i < kLensPartCount; ++i) out[N + i] = part[i];
  return out;
}

class PresetLensPart : public PanelLogic {
 public:
  using PanelLogic::PanelLogic;

 protected:
  // The part's intents; true when taken.
  bool handleLens(const Intent& in);
  // The part's own reads on open (the focus mode); false closes the panel.
  bool readLens();
  // The wait of the panel's EAP runs: the launcher's arrival message and "Active Exec =".
  CommandWait commandWait(std::uint8_t arrivalCode);
  // The refresh after a run that ended well (set as Operation::refresh).
  std::function<PanelUpdate(std::stop_token)> lensRefresh();
  // The shown focus mode, and the arrows that follow it.
  void showFocus(lens::FocusMode mode);

 private:
  void startGotoZoom();
  void chooseFocus(int index);

  std::string gotoText_;
  int focus_ = -1;
};

}  // namespace orva::panels::preset
