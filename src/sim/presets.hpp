#pragma once
// The camera's preset engine: lens-state records in its EEPROM, the command word that runs,
// stores and deletes them, the memory and direct preset moves, the launcher's TYPE I go-to and
// the AFP preset functions. Every move is the lens's own (lens.hpp), on the camera's time.
//
// Records: 18 bytes, little-endian words, copies of F710, F714 (zoom in motor steps), F718,
// F71A, F7BE, F7C2, F7C4, FC6E, then the byte F895 and the type (1 TYPE I, 2 TYPE II, 3 stored
// by the camera, FF empty). Fourteen at 1700, sixty-four at 1800; record n from 1.
//
// Command word F8B0 (a word: it acts when its low byte lands), status F8B2: 0 running, 1 error,
// 2 complete.
//   0100 + n, 0200 + n   move the zoom to record n's position; n up to 14 takes the 1700
//                        record when its type is set, else (and above 14) the 1800 one
//   0400 + m             go to magnification m, in BCD (16 is 0x16)
//   0800 + v             go to zoom value v, 00 wide to FF tele
//   2300 + n, 4300 + n   delete / store (type 3) record n of the 1800 table, at once
//   8101, 8201           run the easy preset in the load area F800-F811 (RAM, big-endian)
// An empty or bad record, a bad magnification or an unknown word gives 1 at once, as every run
// does under the preset-error fault.
//
// Memory and direct presets: a write of the target zoom F854 / F858 or focus F856 / F85A
// (words, F85A counts 0000 "Over Inf" to C000 the near end) starts a move; F860 reads 1 while
// it runs, then 0 (2 under the fault); F85C = 1 stops the lens where it is, F860 0. F850 and
// F852 read the zoom and focus positions. F861 and F863 are plain.
//
// TYPE I go-to: F753 = 3 moves the zoom to the motor steps in F716. F751 bit 5 shows the move.
//
// Arrival message: a run started by a "#W" / "#w" frame (a command word, F753, F854..F85A, a
// drive on FCBB) sends kArrivalMessage when the lens gets there instead of after the
// completion delay; a write of D16C (any value but 0) asks for it too, for the run in progress
// or, when none is, at once.
//
// AFP: 6101 / 6102 get the lens-state fields (F710 F714 F718 F71A F7BE F7C2 F7C4 and F895;
// F714 F7BE F7C2 F7C4 and F895), a set writes them and moves the zoom to the F714 field;
// 6103 gets / sets the zoom and focus pair (as F854 and F856), 6104 the direct focus (F85A),
// 6105 the direct zoom (F858), 6106 goes to a BCD magnification, 610D sub n: 1 / 2 run camera
// slot n (1-32), 3 stores the lens state there, 4 deletes it. These answer R at once and X when
// the move ends (status 1 in X for a failure). 610C is F861, 6112 is F863 + 1.
#include <cstdint>
#include <memory>

namespace orva::sim {

class LensMotion;
class VirtualCamera;

inline constexpr std::uint16_t kPresetCommandRegister = 0xF8B0;
inline constexpr std::uint16_t kPresetStatusRegister = 0xF8B2;
inline constexpr std::uint8_t kPresetRunning = 0;
inline constexpr std::uint8_t kPresetFailed = 1;
inline constexpr std::uint8_t kPresetComplete = 2;

inline constexpr std::uint16_t kTypeOneTable = 0x1700;
inline constexpr int kTypeOneRecords = 14;
inline constexpr std::uint16_t kStoreTable = 0x1800;
inline constexpr int kStoreRecords = 64;
inline constexpr int kRecordBytes = 18;
inline constexpr int kRecordTypeOffset = 17;
inline constexpr std::uint8_t kRecordEmpty = 0xFF;
inline constexpr std::uint8_t kRecordByCamera = 3;
inline constexpr std::uint16_t kEasyPresetArea = 0xF800;

inline constexpr std::uint16_t kArrivalRequestRegister = 0xD16C;
inline constexpr std::uint16_t kFocusWideRegister = 0xF852;
inline constexpr std::uint16_t kMemoryZoomTarget = 0xF854;
inline constexpr std::uint16_t kMemoryFocusTarget = 0xF856;
inline constexpr std::uint16_t kDirectZoomTarget = 0xF858;
inline constexpr std::uint16_t kDirectFocusTarget = 0xF85A;
inline constexpr std::uint16_t kPresetCancelRegister = 0xF85C;
inline constexpr std::uint16_t kMemoryStatusRegister = 0xF860;
inline constexpr std::uint8_t kMemoryDone = 0;
inline constexpr std::uint8_t kMemoryMoving = 1;
inline constexpr std::uint8_t kMemoryFailed = 2;
inline constexpr std::uint16_t kMemoryTypeRegister = 0xF861;
inline constexpr std::uint16_t kPresetDigitalRegister = 0xF863;

inline constexpr std::uint16_t kGoToStepsRegister = 0xF716;
inline constexpr std::uint16_t kGoToControlRegister = 0xF753;
inline constexpr std::uint8_t kGoToStart = 3;

inline constexpr int kCameraSlots = 32;

void installPresets(VirtualCamera& camera, std::shared_ptr<LensMotion> lens);

}  // namespace orva::sim
