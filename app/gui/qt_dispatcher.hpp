#pragma once
// The window thread's dispatcher: a task posted from any thread runs in the Qt event loop of
// the context object's thread, in the order posted. Tasks still queued when the context goes
// are dropped.
#include <QObject>

#include <functional>

#include "panels/dispatch.hpp"

namespace orva::gui {

class QtDispatcher final : public panels::Dispatcher {
 public:
  explicit QtDispatcher(QObject& context) : context_(context) {}
  void post(std::function<void()> task) override {
    QMetaObject::invokeMethod(&context_, std::move(task), Qt::QueuedConnection);
  }

 private:
  QObject& context_;
};

}  // namespace orva::gui
