#pragma once
// How work on other threads reaches the window thread, and how it learns that the panel it
// serves has closed.
//
// Workers never touch views: what a run wants shown is posted through a Dispatcher, which
// the GUI implements by queueing to its window thread. A post carries the token of its panel
// and is dropped there when the panel has closed by then; the monitor lines of the run are
// written regardless, since the monitor is thread-safe and outlives every panel.
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace orva::panels {

class Dispatcher {
 public:
  virtual ~Dispatcher() = default;
  // Runs `task` on the window thread, later, in the order posted. Any thread may post.
  virtual void post(std::function<void()> task) = 0;
};

// A dispatcher whose "window thread" is whoever calls runPending(): tests, and programs
// without a window.
class QueuedDispatcher final : public Dispatcher {
 public:
  void post(std::function<void()> task) override;
  // Runs what was posted so far, in order; returns how many tasks ran.
  std::size_t runPending();

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
};

// Whether a panel is still open. Cheap to copy; any thread may ask. A default token serves
// no panel and is never open.
class PanelToken {
 public:
  PanelToken() = default;
  bool open() const { return open_ && open_->load(); }

 private:
  friend class PanelLifetime;
  explicit PanelToken(std::shared_ptr<const std::atomic<bool>> open) : open_(std::move(open)) {}
  std::shared_ptr<const std::atomic<bool>> open_;
};

// Held by a panel from its open to its close; closes its tokens at close() or when it goes.
class PanelLifetime {
 public:
  PanelLifetime() = default;
  ~PanelLifetime() { close(); }
  PanelLifetime(const PanelLifetime&) = delete;
  PanelLifetime& operator=(const PanelLifetime&) = delete;

  PanelToken token() const { return PanelToken(open_); }
  void close() { open_->store(false); }
  bool open() const { return open_->load(); }

 private:
  std::shared_ptr<std::atomic<bool>> open_ = std::make_shared<std::atomic<bool>>(true);
};

// Posts `update` for the panel of `token`: it runs on the window thread only if the panel is
// still open when its turn comes.
void postToPanel(Dispatcher& dispatcher, const PanelToken& token, std::function<void()> update);

}  // namespace orva::panels
