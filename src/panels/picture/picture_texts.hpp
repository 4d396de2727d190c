#pragma once
// Texts of the picture panel (AGCDLG2), verbatim: title (also its opening heading), group
// captions, the gain point labels, the headings of its Sets and modes.
#include <array>
#include <string_view>

namespace orva::panels::picture::agc2::texts {

inline constexpr std::string_view kTitle = "AGC";

inline constexpr std::string_view kMaximumGain = "Maximum AGC gain";
inline constexpr std::string_view kDecibel = "[dB]";
inline constexpr std::string_view kSet = "Set";

// The colour group is captioned by model; the gamma groups are not.
inline constexpr std::string_view kChromaSuppression = "Chroma Suppression level";
inline constexpr std::string_view kColorLevel = "Color Level";
inline constexpr std::string_view kYGamma = "Y_Gamma";
inline constexpr std::string_view kCGamma = "C_Gamma";
inline constexpr std::string_view kColorHeading = "Color";
inline constexpr std::string_view kYGammaHeading = "Y GAMMA";
inline constexpr std::string_view kCGammaHeading = "C GAMMA";

// The gain points of a group's entries 2 to 5 (the first, below AGC ON, has no label): the
// colour column's, and the gamma columns'.
inline constexpr std::array<std::string_view, 5> kColourPoints{"", "-- AGC ON", "-- 1/3 AGC MAX", "-- 2/3 AGC MAX",
                                                               "--       AGC MAX"};
inline constexpr std::array<std::string_view, 5> kGammaPoints{"", "      AGC ON", "1/3 AGC MAX", "2/3 AGC MAX",
                                                              "      AGC MAX"};
// What scripts call the entries: their place in the group.
inline constexpr std::array<std::string_view, 5> kPlaces{"1", "2", "3", "4", "5"};

inline constexpr std::string_view kPictureMode = "Picture mode";
inline constexpr std::string_view kMode = "mode";
inline constexpr std::array<std::string_view, 4> kPictureModeHeadings{"Picture Mode 1", "Picture Mode 2",
                                                                      "Picture Mode 3", "Picture Mode 4"};

inline constexpr std::string_view kZoomSensUp = "Zoom Sens. Up";
inline constexpr std::string_view kZoomSenseUpPlus = "Zoom Sense Up Plus";
inline constexpr std::string_view kOn = "ON";
inline constexpr std::string_view kOff = "OFF";
inline constexpr std::string_view kZoomSensOnHeading = "Zoom Sens Up ON";
inline constexpr std::string_view kZoomSensOffHeading = "Zoom Sens Up OFF";

}  // namespace orva::panels::picture::agc2::texts
