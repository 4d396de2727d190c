#include "panels/status_block/status_block_panel.hpp"

#include <vector>

#include "camera/setting.hpp"
#include "panels/status_block/status_block_lists.hpp"

namespace orva::panels::status_block {
namespace {

namespace c = controls;

constexpr std::uint16_t kStatusBlockCode = 0xF101;
constexpr std::size_t kBlockFields = 11;
// A value no choice of the list stands for: the list selects nothing.
constexpr std::uint32_t kNoEntry = 0xFFFF;

bool bit(unsigned word, unsigned n) { return ((word >> n) & 1u) != 0; }

// The block as the camera sends it: B1 to B6, W1 to W5.
struct Block {
  std::uint8_t bytes[6] = {};
  std::uint16_t words[5] = {};
};

// The defog entry B4 bits 0-2 select in a list of `entries`: 2 to 6 the second to sixth, 7 the
// fifth, anything else the first; -1 when the entry lies past the list.
int defogEntry(const Block& block, std::size_t entries) {
  const unsigned bits = block.bytes[3] & 0x07u;
  const int entry = bits == 7 ? 4 : bits >= 2 ? static_cast<int>(bits) - 1 : 0;
  return static_cast<std::size_t>(entry) < entries ? entry : -1;
}

// B4 bit 7: "on", or the whiteout reduction when B2 bit 2 is set too on a model that has it.
int intensityEntry(const Block& block, const camera::ModelRecord& m) {
  if (!bit(block.bytes[3], 7)) return 0;
  return bit(m.extraOptionWord, 14) && bit(block.bytes[1], 2) ? 2 : 1;
}

// Where a control's value lies in the block: byte `field` (0 = B1) shifted right by `shift`
// and masked; the control's choices say which entry the value selects.
struct Field {
  ControlId control;
  std::uint8_t field;
  std::uint8_t shift;
  std::uint8_t mask;
};
constexpr Field kFields[] = {
    {c::kFocusMode, 0, 0, 1},      {c::kContinuousZoom, 0, 1, 1}, {c::kInstantZoom, 0, 2, 1},
    {c::kFocusMotion, 0, 3, 1},    {c::kZoomMotion, 0, 4, 1},     {c::kIrcf, 1, 0, 1},
    {c::kBlc, 1, 1, 1},            {c::kAeMode, 2, 4, 0x0F},      {c::kWhiteBalance, 3, 3, 1},
    {c::kAperture, 3, 4, 1},       {c::kWdrOnOff, 3, 5, 1},       {c::kWdrAutoManual, 3, 6, 1},
    {c::kWbAuto, 4, 0, 0x07},      {c::kWdrMode, 4, 4, 0x07},     {c::kPrivacyMask, 5, 0, 1},
    {c::kFade, 5, 1, 1},           {c::kReverse, 5, 2, 1},        {c::kFreeze, 5, 3, 1},
    {c::kMotionDetect, 5, 4, 1},   {c::kMotionTracking, 5, 5, 1}, {c::kEis, 5, 6, 1},
};
constexpr ControlId kPositions[] = {c::kFocusPosition, c::kZoomPosition, c::kIrisPosition, c::kShutterPosition,
                                    c::kAgcPosition};

class BlockReadPanel final : public PanelLogic {
 public:
  BlockReadPanel(PanelContext& context, PanelView& view) : PanelLogic(status_block::description(), context, view) {}

 protected:
  bool readOnOpen() override {
    // Only the AFP command set has the block: nothing is sent to a camera speaking EAP.
    if (context().camera.protocol() != link::Protocol::Afp) return false;
    std::uint32_t mode = 0;
    if (!context().camera.read(camera::kCameraModeSetting, mode)) return false;
    const auto ranges = dssEntries(context().model, mode);
    dssRanges_ = ranges.size();
    for (std::size_t i = 0; i < kDssListLength; ++i)
      view().setItemCaption(c::kDss, i, i < ranges.size() ? ranges[i] : std::string());
    defogEntries_ = defogEntries(context().model).size();
    return readBlock();
  }

  bool handle(const Intent& in) override {
    if (in.kind != Intent::Kind::Click || in.control != c::kReadSettings) return false;
    readBlock();
    return true;
  }

 private:
  // Reads the block and shows it; false, with nothing changed, when the read fails.
  bool readBlock() {
    std::vector<std::uint32_t> fields;
    if (!context().camera.codes().read(kStatusBlockCode, fields) || fields.size() != kBlockFields) return false;
    Block block;
    for (std::size_t i = 0; i < 6; ++i) block.bytes[i] = static_cast<std::uint8_t>(fields[i]);
    for (std::size_t i = 0; i < 5; ++i) block.words[i] = static_cast<std::uint16_t>(fields[6 + i]);
    show(block);
    return true;
  }

  void show(const Block& block) {
    for (const Field& f : kFields) present(f.control, (block.bytes[f.field] >> f.shift) & f.mask);
    for (std::size_t i = 0; i < 5; ++i) present(kPositions[i], block.words[i]);
    // Range n is entry n - 1 of the ranges this model and camera mode have; 0 is none.
    const unsigned range = block.bytes[2] & 0x07u;
    present(c::kDss, range <= dssRanges_ ? range : 0);
    // Entries picked by their place (their choices are numbered from 0).
    const int defog = defogEntry(block, defogEntries_);
    present(c::kDefog, defog < 0 ? kNoEntry : static_cast<std::uint32_t>(defog));
    present(c::kIntensity, static_cast<std::uint32_t>(intensityEntry(block, context().model)));
  }

  std::size_t dssRanges_ = 0;
  std::size_t defogEntries_ = 0;
};

}  // namespace

std::unique_ptr<PanelLogic> makePanel(PanelContext& context, PanelView& view) {
  return std::make_unique<BlockReadPanel>(context, view);
}

}  // namespace orva::panels::status_block
