#pragma once
// The fitted lens: one row per lens index (0-28, from the camera
// identification), the zoom position to magnification step mapping, the go-to offsets, the
// codings of the continuous digital zoom maximum and the magnification read-out.
//
// Zoom positions are the camera's 16-bit zoom position (0xF720, or 0xF850 / the AFP position
// query capped at kTelePosition): they grow from the wide end towards tele; the wide end may
// read as a small negative number, which sets bit 15.
//
// Step lists: each lens has one ascending list with one entry per whole magnification, the
// entry of magnification m being the position at which its band ends (the x1 entry first, the
// tele end last). They are derived from the threshold curve of the 16x lens
// (k16xThresholds, where magnification m + 1 begins): the band of magnification m of a lens
// with maximum M ends where the 16x curve reaches 1 + m * 15 / (M - 1), linearly interpolated
// between its whole steps, and the last band ends at the tele end. So the 16x lens keeps its
// thresholds exactly, every lens spans the same travel, and every list is strictly ascending.
//
// Pure functions over constant tables; any thread may call them.
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "camera/model_record.hpp"
#include "camera/setting.hpp"
#include "link/link.hpp"

namespace orva::camera::lens {

inline constexpr int kLensCount = 29;

// Digital zoom, in both protocols' forms: continuous (0xFCCB 0 / 1, AFP 1 / 2), instant
// (0xFF0F bit 7, AFP 1 / 2) and the instant magnification in tenths (0xFDE6).
inline constexpr Setting kContinuousZoomSetting{0x1201, 0, 0xFCCB, 8};
inline constexpr Setting kInstantZoomSetting = *settingFromCode(0x1203);
inline constexpr Setting kInstantMaxSetting = *settingFromCode(0x1204);
// Whether the camera is zooming digitally right now: 0xFC91 reads below kDigitalIdle while it
// is (0xFCCB only says whether it may).
inline constexpr Setting kDigitalActiveSetting = registerSetting(0xFC91, 8);
inline constexpr std::uint32_t kDigitalIdle = 0xFF;
// The position query and the extended position register are capped here: the tele end.
inline constexpr std::uint32_t kTelePosition = 25600;

struct LensRow {
  int maximum = 0;  // optical magnification at the tele end
  // Slider scale labels at a quarter, half, three quarters and the whole range; empty: none.
  std::array<std::string_view, 4> scale;
  std::string_view highSeconds;    // travel time texts of the speed captions; empty: none
  std::string_view normalSeconds;
  int sliderTop = 15;  // the ZOOM CONTROL slider runs from 0 to this
};

// The row of a lens index; an index outside 0-28 gets the row of lens 0.
const LensRow& lensRow(int lensIndex);

// Where magnification m + 1 begins on the 16x lens, m = 1..15.
inline constexpr std::array<std::uint16_t, 15> k16xThresholds{0x14C0, 0x2EF0, 0x3C60, 0x44F0, 0x4B30,
                                                              0x4FE0, 0x53B0, 0x56E0, 0x5990, 0x5BF0,
                                                              0x5DE0, 0x5FA0, 0x6110, 0x6250, 0x6360};

// The lens's step list: `maximum` ascending positions, entry m - 1 ending the band of
// magnification m.
std::span<const std::uint16_t> stepList(int lensIndex);

// The magnification step of a position: 0 when bit 15 is set or the position is not above the
// list's first entry; otherwise the number of list entries below the position (at most
// maximum - 1). The optical magnification is the step + 1.
int zoomStep(int lensIndex, std::uint32_t position);

// The ZOOM CONTROL slider covers the steps 0..maximum-1 with its positions 0..sliderTop,
// linearly, rounded to the nearest.
int sliderPosition(int lensIndex, int step);
int stepOfSlider(int lensIndex, int sliderPosition);

// The slider's scale labels of a lens (none where the row has none).
std::vector<std::string> scaleLabels(int lensIndex);

// How long the zoom takes from one end to the other at a speed: at high and normal speed the
// lens's own times (a lens without them takes the slowest any lens states); the slow speeds
// state none, so "Slow" counts as 30 s and each SuperSlow level (1-15) as 10 s more, which
// bounds them rather than measures them.
enum class ZoomSpeed : std::uint8_t { High, Normal, Slow };
std::chrono::milliseconds zoomTravelTime(int lensIndex, ZoomSpeed speed, int slowLevel = 0);

// Go to magnification: the offset from the wide end of magnification m (0 at x0 and x1,
// 0xFFFF full tele; above the table's top, the top's). None for a lens without a table.
inline constexpr std::uint16_t kFullTele = 0xFFFF;
std::optional<std::uint16_t> goToOffset(int lensIndex, int magnification);

// ---- the lens capabilities of a model

// Model family as the old models count it (model code AND 0xF0) and as the newer ones do
// (model code AND 0xFFF0).
constexpr unsigned oldFamily(const ModelRecord& m) { return m.modelCode & 0xF0u; }
constexpr unsigned newFamily(const ModelRecord& m) { return m.modelCode & 0xFFF0u; }
constexpr bool bit(unsigned word, unsigned n) { return ((word >> n) & 1u) != 0; }

// Panel word 2: bit 5 digital zoom (the camera reports it in 0xFC91), bit 7 AF search, bit 8
// new AF search, bit 9 fast AF, bit 12 AF search type C, bit 13 extended zoom position
// (0xF850), bit 14 slow zoom speeds, bit 15 lens adjustment mode (0x1314).
constexpr bool hasDigitalZoom(const ModelRecord& m) { return bit(m.panelWord2, 5); }
// The AF area function (0xFC6E, 0xFC91, 0xFDE6) comes with the digital zoom: the same bit.
constexpr bool hasAfArea(const ModelRecord& m) { return hasDigitalZoom(m); }
constexpr bool hasAfSearch(const ModelRecord& m) { return bit(m.panelWord2, 7); }
constexpr bool hasNewAfSearch(const ModelRecord& m) { return bit(m.panelWord2, 8); }
constexpr bool hasFastAf(const ModelRecord& m) { return bit(m.panelWord2, 9); }
constexpr bool hasAfSearchTypeC(const ModelRecord& m) { return bit(m.panelWord2, 12); }
constexpr bool hasExtendedPosition(const ModelRecord& m) { return bit(m.panelWord2, 13); }
constexpr bool hasSlowZoom(const ModelRecord& m) { return bit(m.panelWord2, 14); }
constexpr bool hasAdjustment(const ModelRecord& m) { return bit(m.panelWord2, 15); }
// Zoom cue: model code 0xC0 or 0xD0 to 0xDF.
constexpr bool hasZoomCue(const ModelRecord& m) {
  return m.modelCode == 0xC0 || (m.modelCode >= 0xD0 && m.modelCode <= 0xDF);
}
// The continuous digital zoom limit a newer family states itself (panel byte 5; 0: none).
constexpr int recordedDigitalZoomLimit(const ModelRecord& m) { return m.panelByte5; }

// ---- continuous digital zoom maximum (0xFDF0, AFP 0x1202)

// ZOOM CONTROL's coding. From model code 0x30 on: b gives 256 / (256 - b) and n is stored as
// the low byte of 256 - 256 / n; older models: b gives 512 / ((64 - b) * 8) and n is stored
// as (512 - 512 / n) / 8. None where the old coding has no maximum (b of 64 or more) or n
// cannot be stored (outside 1-8).
inline constexpr int kContinuousMaximumTop = 8;
std::optional<int> continuousMaximum(std::uint16_t modelCode, std::uint8_t stored);
std::optional<std::uint8_t> continuousCode(std::uint16_t modelCode, int maximum);

// ZOOM/FOCUS CONTROL's coding, by family (model code AND 0xF0). The entry's range is 1 to
// the family's limit.
int familyDigitalZoomLimit(const ModelRecord& m);
std::optional<int> familyContinuousMaximum(std::uint16_t modelCode, std::uint8_t stored);
std::optional<std::uint8_t> familyContinuousCode(std::uint16_t modelCode, int maximum);

// ---- where the zoom position is read

// The setting the zoom position is read from: AFP the position query; EAP 0xF850 on models
// with the extended position, else 0xF720.
Setting zoomPositionSetting(const ModelRecord& m, link::Protocol protocol);

}  // namespace orva::camera::lens
