#include "user_folder.hpp"

#include <string>
#include <system_error>

namespace orva::gui {

core::Result<std::filesystem::path> userFolderPath(std::string_view xdgDataHome, std::string_view home) {
  const std::filesystem::path xdg(xdgDataHome);
  if (xdg.is_absolute()) return xdg / "orva";
  const std::filesystem::path homeFolder(home);
  if (homeFolder.is_absolute()) return homeFolder / ".local" / "share" / "orva";
  return core::Error{"cannot find the user folder: neither XDG_DATA_HOME nor HOME names an absolute folder"};
}

core::Status makeUserFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return core::Error{"cannot create the user folder " + folder.string() + ": " + ec.message()};
  if (!std::filesystem::is_directory(folder, ec))
    return core::Error{"cannot use the user folder " + folder.string() + ": it is not a folder"};
  return {};
}

}  // namespace orva::gui
