#pragma once
// A PanelView that keeps what it was told, for tests of panel logic. It notes every call
// made from a thread other than the one that created it, since only the window thread may
// touch a view. Thread-safe, so such a call is counted rather than racing.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "panels/panel_view.hpp"

namespace orva::panels {

class FakePanelView final : public PanelView {
 public:
  void setText(ControlId control, std::string_view text) override;
  void setValue(ControlId control, int value) override;
  void setRange(ControlId control, int minimum, int maximum) override;
  void setEnabled(ControlId control, bool enabled) override;
  void setShown(ControlId control, bool shown) override;
  void setCaption(ControlId control, std::string_view caption) override;
  void setItemCaption(ControlId control, std::size_t item, std::string_view caption) override;
  void setItemEnabled(ControlId control, std::size_t item, bool enabled) override;
  void beep() override;
  void startTimer(int timer, std::chrono::milliseconds interval) override;
  void stopTimer(int timer) override;
  void close(CloseReason reason) override;

  // The timers running now, with their intervals; a close stops them all.
  std::map<int, std::chrono::milliseconds> timers() const;

  // What the window shows now; none for what it was never told.
  std::optional<std::string> text(ControlId control) const;
  std::optional<int> value(ControlId control) const;
  std::optional<std::pair<int, int>> range(ControlId control) const;
  bool enabled(ControlId control) const;  // never told: enabled
  bool shown(ControlId control) const;    // never told: shown
  std::optional<std::string> caption(ControlId control) const;
  std::optional<std::string> itemCaption(ControlId control, std::size_t item) const;
  bool itemEnabled(ControlId control, std::size_t item) const;  // never told: enabled
  int beeps() const;
  std::optional<CloseReason> closed() const;
  // Every call in order, e.g. "value 3 = 1", "text 5 = 0A", "close"; for order checks.
  std::vector<std::string> calls() const;
  void clearCalls();
  // Calls from a thread other than the creating one.
  int foreignCalls() const;

 private:
  void note(std::string call);

  mutable std::mutex mutex_;
  std::thread::id owner_ = std::this_thread::get_id();
  std::map<ControlId, std::string> texts_;
  std::map<ControlId, int> values_;
  std::map<ControlId, std::pair<int, int>> ranges_;
  std::map<ControlId, bool> enabled_;
  std::map<ControlId, bool> shown_;
  std::map<ControlId, std::string> captions_;
  std::map<std::pair<ControlId, std::size_t>, std::string> itemCaptions_;
  std::map<std::pair<ControlId, std::size_t>, bool> itemEnabled_;
  std::map<int, std::chrono::milliseconds> timers_;
  int beeps_ = 0;
  std::optional<CloseReason> closed_;
  std::vector<std::string> calls_;
  int foreign_ = 0;
};

}  // namespace orva::panels
