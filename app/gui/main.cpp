// orva: the desktop tool.
#include <QApplication>

#include <cstdio>
#include <string_view>
#include <vector>

#include "gui_app.hpp"
#include "main_window.hpp"
#include "start_options.hpp"

int main(int argc, char** argv) {
  // Qt takes its own options (-platform, ...) out of argv here.
  QApplication app(argc, argv);
  std::vector<std::string_view> words(argv + 1, argv + argc);
  auto options = orva::gui::parseStartOptions(words);
  if (!options) {
    std::fprintf(stderr, "orva: %s\n%s", options.message().c_str(), orva::gui::usageText().data());
    return 2;
  }
  if (options->help) {
    std::fputs(orva::gui::usageText().data(), stdout);
    return 0;
  }
  try {
    orva::gui::GuiApp gui(*options);
    gui.window().show();
    const int code = QApplication::exec();
    gui.shutdown();
    return code;
  } catch (const orva::gui::StartError& e) {
    std::fprintf(stderr, "orva: %s\n", e.what());
    return 2;
  }
}
