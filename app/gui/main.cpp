// orva: the desktop tool.
#include <QApplication>
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/version.hpp"
#include "gui_app.hpp"
#include "main_window.hpp"
#include "start_options.hpp"
#include "user_folder.hpp"

namespace {

std::string_view environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string_view(value) : std::string_view();
}

// HOME, or the account's home folder when a desktop session left HOME out.
std::string homeFolder() {
  if (const auto home = environment("HOME"); !home.empty()) return std::string(home);
  const passwd* account = getpwuid(getuid());
  return account != nullptr && account->pw_dir != nullptr ? std::string(account->pw_dir) : std::string();
}

}  // namespace

int main(int argc, char** argv) {
  // Help and version are answered before Qt looks for a display: they work over ssh too.
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word == "--version") {
      std::printf("orva %s\n", std::string(orva::core::version()).c_str());
      return 0;
    }
    if (word == "-h" || word == "--help") {
      std::fputs(orva::gui::usageText().data(), stdout);
      return 0;
    }
  }
  // Qt takes its own options (-platform, ...) out of argv here.
  QApplication app(argc, argv);
  std::vector<std::string_view> words(argv + 1, argv + argc);
  auto options = orva::gui::parseStartOptions(words);
  if (!options) {
    std::fprintf(stderr, "orva: %s\n%s", options.message().c_str(), orva::gui::usageText().data());
    return 2;
  }
  // Empty: the folder orva was started in.
  std::filesystem::path startFolder;
  if (options->userFolder) {
    auto folder = orva::gui::userFolderPath(environment("XDG_DATA_HOME"), homeFolder());
    if (!folder) {
      std::fprintf(stderr, "orva: %s\n", folder.message().c_str());
      return 2;
    }
    if (const auto made = orva::gui::makeUserFolder(*folder); !made) {
      std::fprintf(stderr, "orva: %s\n", made.message().c_str());
      return 2;
    }
    startFolder = *folder;
  }
  try {
    orva::gui::GuiApp gui(*options, startFolder);
    gui.setQuit([] { QCoreApplication::exit(0); });
    gui.show();
    const int code = QApplication::exec();
    gui.shutdown();
    return code;
  } catch (const orva::gui::StartError& e) {
    std::fprintf(stderr, "orva: %s\n", e.what());
    return 2;
  }
}
