#pragma once
// What a panel does to its window. A renderer implements it (the GUI with one generic dialog
// class and a few custom widgets the descriptions name); tests use FakePanelView.
//
// Controls are controlled: the renderer never changes a check, a selection, a position or a
// text by itself. It reports the operator's intent to the panel logic, and shows only what
// these calls tell it, so a refused or failed write leaves the control as the logic decides.
// Called on the window thread only; a run on another thread posts through a Dispatcher.
#include <cstddef>
#include <chrono>
#include <cstdint>
#include <string_view>

namespace orva::panels {

// A control of a panel, numbered by its panel's description.
using ControlId = std::uint16_t;

// Why a panel closed. Every way gives the dialog result 0; a chain of panels goes on only
// after the operator closed the first.
enum class CloseReason : std::uint8_t {
  Closed,      // "CLOSE" or the window's close command
  PortClosed,  // the port guard refused the open
  ReadFailed,  // a read on open failed (the link has reported it)
  WriteFailed, // a write the panel cannot go on without failed (the link has reported it)
};

class PanelView {
 public:
  virtual ~PanelView() = default;

  // The text of an entry or a readout.
  virtual void setText(ControlId control, std::string_view text) = 0;
  // A check box (0 or 1), the selected item of a radio group or list (-1: none), a slider's
  // position.
  virtual void setValue(ControlId control, int value) = 0;
  virtual void setRange(ControlId control, int minimum, int maximum) = 0;
  virtual void setEnabled(ControlId control, bool enabled) = 0;
  virtual void setShown(ControlId control, bool shown) = 0;
  virtual void setCaption(ControlId control, std::string_view caption) = 0;
  // The caption of one button of a radio group or one entry of a list.
  virtual void setItemCaption(ControlId control, std::size_t item, std::string_view caption) = 0;
  // One button of a radio group or one entry of a list that cannot be chosen for now.
  virtual void setItemEnabled(ControlId control, std::size_t item, bool enabled) = 0;
  // The default message beep: an entry was refused.
  virtual void beep() = 0;
  // A panel's timer: every `interval` the renderer reports Intent::tick(timer) to the logic, on
  // the window thread, until it is stopped or the panel closes. Starting a running timer
  // restarts it with the new interval.
  virtual void startTimer(int timer, std::chrono::milliseconds interval) = 0;
  virtual void stopTimer(int timer) = 0;
  // The panel is gone; the renderer closes the window (modal result 0) and places nothing.
  virtual void close(CloseReason reason) = 0;
};

}  // namespace orva::panels
