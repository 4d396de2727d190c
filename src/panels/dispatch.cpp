#include "panels/dispatch.hpp"

#include <utility>

namespace orva::panels {

void QueuedDispatcher::post(std::function<void()> task) {
  std::lock_guard lock(mutex_);
  tasks_.push_back(std::move(task));
}

std::size_t QueuedDispatcher::runPending() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard lock(mutex_);
    batch.swap(tasks_);
  }
  // Outside the lock: a task may post again; that one waits for the next call.
  for (auto& task : batch) task();
  return batch.size();
}

void postToPanel(Dispatcher& dispatcher, const PanelToken& token, std::function<void()> update) {
  dispatcher.post([token, update = std::move(update)] {
    if (token.open()) update();
  });
}

}  // namespace orva::panels
