#include "panels/camera_type_panel.hpp"

#include <array>

#include "panels/texts.hpp"

namespace orva::panels::camera_type {
namespace {

constexpr std::array kControls{
    readout(kTypeCode, Binding{camera::kCameraTypeSetting}, Format::Hex4).readOnRequest(),
    label(kUnit, texts::kCameraTypeUnit),
    readButton(kGet, texts::kGet, kTypeCode),
    closeButton(kClose, texts::kClose),
};

constexpr PanelDescription kPanel{.id = PanelId::CameraType,
                                  .title = texts::kCameraTypeTitle,
                                  .heading = texts::kCameraTypeTitle,
                                  .controls = kControls};

}  // namespace

const PanelDescription& description() { return kPanel; }

}  // namespace orva::panels::camera_type
