#pragma once
// The zoom and focus shortcut keys of the main window: while one of Q, Y, T or W is held the
// lens drives, and its release stops it; R switches the focus mode.
//
//   key  EAP (register 0xFCBB)   AFP
//   Q    0xAA focus near         focus drive 0x1102 = 3
//   Y    0xA9 focus far          focus drive 0x1102 = 2
//   T    0x99 zoom tele          zoom drive 0x1107 = 2
//   W    0x9B zoom wide          zoom drive 0x1107 = 3
//   R    0xA8 focus mode key     focus mode 0x1101 read; 1 becomes 2, 2 becomes 1
//   stop 0xFE                    the held drive's own function = 1
//
// One drive is held at a time, and only its own release stops it. Whatever else is pressed
// or released meanwhile (another drive key, R, any other key) sends nothing and leaves the
// held drive as it is, so every drive started is stopped exactly once: by its release, or by
// releaseAll() when the window loses the keyboard. R is no drive: its release sends nothing.
// Auto-repeated presses and releases are ignored. With the port closed the keys send nothing
// and say nothing. While a run holds the line a press is ignored, but the stop of a drive
// already held still goes out.
//
// Threads: the window thread only. The window decides when the keys count (no monitor pane
// has the keyboard) and hands over the key codes, the letters as upper-case ASCII.
#include <functional>
#include <optional>

#include "camera/code_map.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"

namespace orva::shell {

class ShortcutKeys {
 public:
  // `portOpen` says whether the port is open; `lineBusy`, when given, whether a run holds
  // the line.
  ShortcutKeys(link::Link& link, link::Eap& eap, camera::FunctionCodes& codes, std::function<bool()> portOpen,
               std::function<bool()> lineBusy = {});

  // A key went down; `autoRepeat` for the repeats of a key held down.
  void keyDown(int keyCode, bool autoRepeat);
  void keyUp(int keyCode, bool autoRepeat);
  // The window lost the keyboard or closes: the held drive, if any, is stopped.
  void releaseAll();

  // The key whose drive is held, if any.
  std::optional<int> heldKey() const { return held_; }

 private:
  void stopHeld();

  link::Link& link_;
  link::Eap& eap_;
  camera::FunctionCodes& codes_;
  std::function<bool()> portOpen_;
  std::function<bool()> lineBusy_;
  std::optional<int> held_;  // the key of the drive held
};

}  // namespace orva::shell
