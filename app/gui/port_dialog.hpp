#pragma once
// The two dialogs behind "Serial Port...":
// - "Serial Port.. setup" while disconnected: picks the port, the speed and the parity the
//   next connect uses. Nothing changes until OK; CANCEL or closing the dialog keeps all.
// - "Serial Baudrate change to Camera." while connected: picks the camera's new speed and
//   parity and has the caller change it ("CHANGE"). The port list only shows the port in use.
//
// Both open at the main window's top right and run modally on the window thread. The dialogs
// (portSettingsDialog, cameraSpeedDialog), lists and buttons carry object names (portList,
// speedList, parityList, okButton, cancelButton, noFormNote) so tests find them.
//
// "2400 " stands in the speed list at position 0 as it always has, but no settings form
// exists for it: while it is selected OK is disabled and a note under the lists says why, so
// the dialog never hands out a speed the line cannot run at.
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/negotiator.hpp"
#include "link/port_list.hpp"
#include "link/settings_forms.hpp"

class QWidget;

namespace orva::gui {

namespace texts {
inline constexpr std::string_view kPortDialogTitle = "Serial Port.. setup";
inline constexpr std::string_view kCameraSpeedTitle = "Serial Baudrate change to Camera.";
inline constexpr std::string_view kPortDialogOk = "OK";
inline constexpr std::string_view kPortDialogCancel = "CANCEL";
inline constexpr std::string_view kCameraSpeedChange = "CHANGE";
inline constexpr std::string_view kParityEven = "EVEN";
inline constexpr std::string_view kParityNone = "NON ";
// Position 0 of the speed list: shown, never a settings form.
inline constexpr std::string_view kNoFormSpeed = "2400 ";
inline constexpr std::string_view kNoFormNote = "2400 baud cannot be used: choose 4800 or faster.";
inline constexpr std::string_view kNoPortFound = "No serial port found on this machine";
inline constexpr std::string_view kVirtualCameraPort = "Virtual camera (built in)";
inline constexpr std::string_view kPortHeading = "Port";
inline constexpr std::string_view kSpeedHeading = "Speed";
inline constexpr std::string_view kParityHeading = "Parity";
}  // namespace texts

// One line of the port list.
struct PortEntry {
  std::string text;    // what the list shows
  int number = 0;      // the port's number (PortInfo::number); 0 for an entry that is no port
  std::string device;  // the device path; empty for an entry that is no port
  std::string byId;    // its stable /dev/serial/by-id name, or empty

  friend bool operator==(const PortEntry&, const PortEntry&) = default;
};

// The machine's ports as "N: /dev/ttyUSB0  (description)", the description only when known.
std::vector<PortEntry> portEntries(const std::vector<link::PortInfo>& ports);
// The one entry shown while the tool works with its built-in virtual camera.
PortEntry virtualCameraEntry();

// Which entry the dialog opens on: the one of `device` (its device path, its by-id name or
// another name of the same device), else the one numbered `number`, else the first; -1 when
// there is none.
int initialPortRow(const std::vector<PortEntry>& entries, const std::string& device, int number);

// What the port settings dialog starts from and what its OK commits.
struct PortChoice {
  std::optional<PortEntry> port;  // none when the list has no port to choose
  int speedRank = 1;              // 1 (4800) .. 6 (115200)
  int parityIndex = 0;            // 0 even, 1 none

  // The settings form of speedRank and parityIndex.
  link::SettingsForm form() const;
};

// "Serial Port.. setup". `current.port` selects the port (by device path, else by number);
// `current.speedRank` and `current.parityIndex` select the speed and parity. Returns the
// pending choice on OK, nothing on CANCEL or close. With no entries the list says that the
// machine has no serial port and OK still commits speed and parity (with no port).
std::optional<PortChoice> runPortSettingsDialog(QWidget* mainWindow, const std::vector<PortEntry>& entries,
                                                const PortChoice& current);

// Changes the camera's speed to the form chosen; may take seconds (the caller keeps the window
// painting meanwhile).
using CameraSpeedChange = std::function<link::Negotiator::SpeedChange(const link::SettingsForm&)>;

// "Serial Baudrate change to Camera.": `portText` in the disabled port list, `speeds` (from
// link::cameraSpeeds) in the speed list, `current` selected. CHANGE calls `change` with the
// dialog's buttons and lists disabled: Unchanged and Cancelled keep the dialog open, Changed
// closes it and returns true, Failed closes it and returns false. CANCEL or closing returns
// false without calling `change`.
bool runCameraSpeedDialog(QWidget* mainWindow, const std::string& portText, const std::vector<link::SpeedChoice>& speeds,
                          const link::SettingsForm& current, const CameraSpeedChange& change);

// Where a dialog of frame size `dialog` goes: its right edge on the main window's right edge
// and its top on the main window's top; at the screen's top right while the main window is
// maximised. `mainFrame` and `screen` are frame and available screen geometries.
QPoint topRightPlacement(const QRect& mainFrame, bool maximised, const QRect& screen, QSize dialog);
// Moves `dialog` there for `mainWindow` (nothing without a main window).
void placeAtTopRight(QWidget& dialog, const QWidget* mainWindow);

}  // namespace orva::gui
