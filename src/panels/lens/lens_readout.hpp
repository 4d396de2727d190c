#pragma once
// What the lens panels show of the fitted lens and how they read its position. The tables
// themselves are the camera's (camera/lens_tables.hpp): the lens family sees them as its own,
// so `lens::zoomStep` and the like read the same here as there.
//
// Window thread, or the operation slot for the reads.
#include <cstdint>
#include <string>
#include <vector>

#include "camera/lens_tables.hpp"
#include "camera/model_record.hpp"
#include "panels/camera_access.hpp"

namespace orva::panels::lens {

using namespace camera::lens;

// The speed captions of a lens (none where its row states no travel times).
std::vector<std::string> speedCaptions(int lensIndex);

// The text beside the slider: the optical magnification ("%d"); with instant digital zoom on,
// times the instant factor in tenths: for 1.0 and 2.0 a whole number ("%d"), capped at 60 on
// the families 0x13F0, 0x14F0 and 0x16F0 and at 44 on 0x15F0; for other factors in tenths
// ("%1d.%1d") under the same caps.
std::string magnificationText(const camera::ModelRecord& m, int opticalMagnification, bool instantOn,
                              std::uint32_t instantTenths);

// Reads the zoom position from zoomPositionSetting, capped at kTelePosition where the camera
// caps it (the AFP query and 0xF850).
bool readZoomPosition(CameraAccess& camera, const camera::ModelRecord& m, std::uint32_t& position);

}  // namespace orva::panels::lens
