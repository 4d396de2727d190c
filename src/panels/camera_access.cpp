#include "panels/camera_access.hpp"

namespace orva::panels {

bool CameraAccess::read(const camera::Setting& s, std::uint32_t& value) {
  return camera::readSetting(s, value, link_, eap_, codes_);
}

bool CameraAccess::write(const camera::Setting& s, std::uint32_t value) {
  return camera::writeSetting(s, value, link_, eap_, codes_);
}

}  // namespace orva::panels
