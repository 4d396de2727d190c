#include "panels/operation_runner.hpp"

#include <algorithm>
#include <utility>

#include "core/deadline.hpp"
#include "panels/formats.hpp"
#include "panels/texts.hpp"

namespace orva::panels {
namespace {

std::string resultLine(std::string_view text) {
  std::string out("-- ");
  out += text;
  out += " --";
  return out;
}

}  // namespace

OperationRunner::~OperationRunner() {
  std::lock_guard lock(threadMutex_);
  if (thread_.joinable()) {
    thread_.request_stop();
    thread_.join();
  }
}

bool OperationRunner::busy() const {
  std::lock_guard lock(mutex_);
  return running_ || claimed_;
}

bool OperationRunner::start(Operation op) {
  {
    std::lock_guard lock(mutex_);
    if (running_ || claimed_) return false;
    running_ = true;
    abort_.store(false);  // an abort asked of the previous operation is not this one's
  }
  if (!op.heading.empty()) monitor_.heading(headingText(op.heading));
  std::lock_guard lock(threadMutex_);
  // The previous operation has left its body (the slot was free): this join is short.
  if (thread_.joinable()) thread_.join();
  try {
    thread_ = std::jthread([this, op = std::move(op)](std::stop_token stop) mutable { run(stop, std::move(op)); });
  } catch (...) {
    finished();  // no thread: the slot must not stay taken
    throw;
  }
  return true;
}

void OperationRunner::run(std::stop_token stop, Operation op) {
  const Outcome outcome = op.body ? op.body(OperationRun(stop, abort_, dispatcher_, op.panel)) : Outcome::Done;
  switch (outcome) {
    case Outcome::Done: monitor_.line(resultLine(op.name + std::string(texts::kEnd))); break;
    case Outcome::TimeOver: monitor_.line(resultLine(texts::kTimeOver)); break;
    case Outcome::Error: monitor_.line(resultLine(texts::kError)); break;
    case Outcome::Silent:
    case Outcome::Stopped: break;
  }
  // The read-back touches the camera, so it runs before the slot is given back.
  if (outcome == Outcome::Done && op.refresh && op.panel.open() && !stop.stop_requested()) {
    if (PanelUpdate update = op.refresh(stop)) postToPanel(dispatcher_, op.panel, std::move(update));
  }
  finished();
  if (op.ended) dispatcher_.post(std::move(op.ended));
}

void OperationRunner::finished() {
  {
    std::lock_guard lock(mutex_);
    running_ = false;
  }
  idle_.notify_all();
}

std::optional<OperationRunner::Claim> OperationRunner::claim() {
  std::lock_guard lock(mutex_);
  if (running_ || claimed_) return std::nullopt;
  claimed_ = true;
  return Claim(*this);
}

OperationRunner::Claim::~Claim() {
  if (runner_ == nullptr) return;
  {
    std::lock_guard lock(runner_->mutex_);
    runner_->claimed_ = false;
  }
  runner_->idle_.notify_all();
}

void OperationRunner::requestStop() {
  std::lock_guard lock(threadMutex_);
  thread_.request_stop();
}

void OperationRunner::requestAbort() {
  std::lock_guard lock(mutex_);
  if (running_) abort_.store(true);
}

void OperationRunner::waitIdle() {
  {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !running_ && !claimed_; });
  }
  std::lock_guard lock(threadMutex_);
  if (thread_.joinable()) thread_.join();
}

bool OperationRunner::waitIdle(core::Clock& clock, core::Clock::duration limit) {
  {
    std::unique_lock lock(mutex_);
    if (!clock.waitUntil(lock, idle_, clock.now() + limit, {}, [this] { return !running_ && !claimed_; })) return false;
  }
  joinIfIdle();
  return true;
}

void OperationRunner::joinIfIdle() {
  std::lock_guard threadLock(threadMutex_);
  {
    // A new operation may have taken the slot since: its start joins the old thread, and
    // joining here would wait for the new one past the limit.
    std::lock_guard lock(mutex_);
    if (running_) return;
  }
  if (thread_.joinable()) thread_.join();
}

Outcome pollUntilDone(core::Clock& clock, std::stop_token stop, core::Clock::duration limit,
                      const std::function<std::optional<Outcome>()>& check, core::Clock::duration slice) {
  const core::Deadline deadline(clock, limit);
  for (;;) {
    if (stop.stop_requested()) return Outcome::Stopped;
    if (auto outcome = check()) return *outcome;
    if (deadline.expired()) return Outcome::TimeOver;
    if (!clock.sleepFor(std::min(slice, deadline.remaining()), stop)) return Outcome::Stopped;
  }
}

}  // namespace orva::panels
