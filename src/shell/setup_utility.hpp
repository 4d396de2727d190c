#pragma once
// The camera setup utility's program-long state and its menu actions, toolkit-free: the
// record, the broken flag, the loaded-from-file mark and the page last shown live from the
// program's start to its end; a dialog shows the record and calls the actions.
//
// Every action that reaches the camera holds the operation slot for its length and does
// nothing (Busy) while the slot is taken. The questions and messages go through the session's
// prompt on the caller's thread; the camera work between them runs through the line-work hook
// (on the caller's thread when none is set), so a desktop can keep its window painting through
// a seven-second restart.
//
// Threads: the window thread; the camera work on the thread the hook gives it.
#include <functional>
#include <optional>

#include "core/prompt.hpp"
#include "eeprom/setup_record.hpp"
#include "eeprom/setup_runs.hpp"
#include "shell/menu_model.hpp"
#include "shell/monitor.hpp"

namespace orva::shell {

class Session;

enum class SetupPage { Lens, Picture, WbAe, Other };

enum class SetupResult {
  Done,
  Refused,   // the operator was told why
  Declined,  // a question was answered "no" or no file was chosen: nothing changed
  Failed,    // the camera did not answer or the write failed; the operator was told
  Busy,      // the operation slot is taken: nothing was done
};

class SetupUtility {
 public:
  SetupUtility(Session& session, Monitor& monitor, core::Prompt& prompt)
      : session_(session), monitor_(monitor), prompt_(prompt) {}

  // The open check and, on the first opening, the defaults. False, with nothing changed, when
  // the camera is not of the series (or not connected) or the slot is taken. While open, the
  // menus are busy and the launcher's buttons disabled.
  bool open();
  // "CLOSE": block O from the check box, the page remembered.
  void close(bool confirmWrite, SetupPage page);
  bool isOpen() const { return busy_.has_value(); }

  // The record the pages show; they store their controls back before an action that uses it.
  const eeprom::SetupRecord& record() const { return record_; }
  eeprom::SetupRecord& record() { return record_; }
  bool broken() const { return broken_; }
  bool loadedFromFile() const { return loadedFromFile_; }
  SetupPage page() const { return page_; }
  // The check box "Confirm data when writing to camera": ticked while block O is 0.
  bool confirmWrite() const;

  SetupResult loadDefaults();  // "Load Default Data"
  SetupResult readCamera();    // "Read Camera Data"
  // WRITE; `confirmWrite` is the check box as it is now.
  SetupResult write(bool confirmWrite);
  SetupResult save();   // "SAVE Data"
  SetupResult load();   // "LOAD Data"
  SetupResult reset();  // "Camera RESET"

  // Runs a camera access and returns when it has ended.
  using LineWork = std::function<void(const std::function<void()>&)>;
  void setLineWork(LineWork work) { lineWork_ = std::move(work); }

 private:
  // The camera access under the waiting cursor, through the hook.
  void onLine(const std::function<void(eeprom::SetupCamera&)>& job);
  // Defaults on the camera's zoom position; a failure sets the broken flag and says so.
  bool fillDefaults();
  bool foreignAddressesAccepted();
  eeprom::SetupStamp stamp() const;

  Session& session_;
  Monitor& monitor_;
  core::Prompt& prompt_;

  eeprom::SetupRecord record_;
  bool opened_ = false;          // the first opening has been
  bool broken_ = false;
  bool loadedFromFile_ = false;
  bool foreignAccepted_ = false;  // the listed addresses were accepted for this record
  SetupPage page_ = SetupPage::Lens;
  std::optional<MenuBusyLock> busy_;
  LineWork lineWork_;
};

}  // namespace orva::shell
