#pragma once
// The main window "ORVA2": the communication monitor as its client area, the menu bar drawn
// from the menu model, and the status line under them.
//
// Menu commands go to the handler the window is given; an item it does not handle tells the
// operator that the function is not available in this version. The window closes for good only
// through closeForShutdown() ("Exit", or a signal that ends the process); closing it through
// its frame is not offered, and when a window manager does it anyway it counts as "Exit".
#include <QMainWindow>

#include <functional>
#include <memory>

#include "core/prompt.hpp"
#include "monitor_view.hpp"
#include "shell/menu_model.hpp"
#include "shell/monitor.hpp"

namespace orva::gui {

class MenuBarView;
class QtPrompt;

class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  // True when the item's command ran (whatever its outcome), false when there is none.
  using MenuHandler = std::function<bool(shell::MenuItem)>;

  MainWindow(shell::Monitor& monitor, shell::MenuModel& menus, const MonitorView::Colours& colours,
             QWidget* parent = nullptr);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  MonitorView& monitorView() const { return *view_; }
  MenuBarView& menuView() const { return *menuView_; }
  // The window's own prompt: dialogs over this window, from any thread.
  QtPrompt& prompt() const { return *prompt_; }

  // Where the window's own messages go; its prompt unless a test gives another.
  void setMessagePrompt(core::Prompt* prompt) { messages_ = prompt; }
  void setMenuHandler(MenuHandler handler) { menuHandler_ = std::move(handler); }
  void setTypedHandler(std::function<void(char)> handler) { typedHandler_ = std::move(handler); }

  // Runs an item's command as choosing it from the menu does.
  void choose(shell::MenuItem item);
  void closeForShutdown();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  MonitorView* view_ = nullptr;
  std::unique_ptr<QtPrompt> prompt_;
  MenuBarView* menuView_ = nullptr;
  core::Prompt* messages_ = nullptr;
  MenuHandler menuHandler_;
  std::function<void(char)> typedHandler_;
  bool closing_ = false;
};

}  // namespace orva::gui
