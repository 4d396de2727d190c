// What identification found, as the launcher fields, messages and the command line show it.
#include <fmt/format.h>

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "camera/identification.hpp"

namespace orva::camera {

std::string aeModeText(int aeMode, link::Protocol protocol) {
  if (protocol == link::Protocol::Afp) {
    static constexpr std::array<std::string_view, 12> kAfp{
        "Program AE       ", "Program AER1     ", "Program AER2     ", "Program AE+      ",
        "Program AER+1    ", "Program AER+2    ", "Program AER+3    ", "Shutter Priority ",
        "Exposure Priority", "Full Manual",       "AGC Priority",      "Exp-Shut Priority"};
    return aeMode >= 1 && aeMode <= 12 ? std::string(kAfp[static_cast<std::size_t>(aeMode - 1)]) : std::string();
  }
  if (aeMode == 0xFF || aeMode < 0 || aeMode > 0xFF) return {};
  const int high = aeMode >> 4;
  switch (aeMode & 0x0F) {
    case 0x0: {
      static constexpr std::array<std::string_view, 3> kPlain{"Program AE       ", "Program AER1     ",
                                                              "Program AER2     "};
      return high <= 2 ? std::string(kPlain[static_cast<std::size_t>(high)]) : std::string();
    }
    case 0x1: {
      static constexpr std::array<std::string_view, 4> kPlus{"Program AE+      ", "Program AER+1    ",
                                                             "Program AER+2    ", "Program AER+3    "};
      return high <= 3 ? std::string(kPlus[static_cast<std::size_t>(high)]) : std::string();
    }
    default: break;
  }
  // The other modes have no "R" level: 0x17 is no mode.
  switch (aeMode) {
    case 0x07: return "Shutter Priority ";
    case 0x08: return "Exposure Priority";
    case 0x09: return "AGC Priority";
    case 0x0A: return "Full Manual      ";
    case 0x0B: return "Exp-Shut Priority";
    default: return {};
  }
}

std::string lensStatusMessage(int status) {
  switch (status) {
    case 2: return "Zoom Lens Initialization Failure.";
    case 3: return "Focus/Zoom Lens Initialization Failure.";
    case 4: return "IR cut filter Initialization Failure.";
    case 5: return "Focus Lens & IR cut filter Initialization Failure.";
    case 6: return "Zoom Lens & IR cut filter Initialization Failure.";
    case 7: return "Focus/Zoom Lens & IR cut filter Initialization Failure.";
    default: return "Focus Lens Initialization Failure.";
  }
}

std::vector<std::pair<std::string, std::string>> describeRecord(const ModelRecord& record,
                                                                const IdentificationFlags&) {
  std::string name = record.name;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  const auto hex = [](unsigned v) { return fmt::format("{:04X}", v); };
  return {
      {"model", name},
      {"model code", hex(record.modelCode)},
      {"lens", std::to_string(record.lensIndex)},
      {"class", std::to_string(record.processorClass)},
      {"version", fmt::format("{:02X}.{:02X}", record.cameraVersion >> 8, record.cameraVersion & 0xFF)},
      {"launcher mask", hex(record.launcherMask)},
      {"function word", hex(record.functionWord)},
      {"menu word", hex(record.menuWord)},
      {"feature word", hex(record.featureWord)},
      {"option word", hex(record.optionWord)},
      {"lens-control word", hex(record.lensControlWord)},
      {"extra option word", hex(record.extraOptionWord)},
      {"panel word 1", hex(record.panelWord1)},
      {"panel word 2", hex(record.panelWord2)},
      {"panel word 3", hex(record.panelWord3)},
      {"panel word 4", hex(record.panelWord4)},
  };
}

}  // namespace orva::camera
