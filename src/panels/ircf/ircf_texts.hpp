#pragma once
// Texts of the IRcf CONTROL and PL Filter panels, verbatim: titles, headings, group and button
// captions. Tests compare against these constants.
#include <array>
#include <string_view>

namespace orva::panels::ircf::texts {

inline constexpr std::string_view kTitle = "IRcf CONTROL";
inline constexpr std::string_view kHeading = "IRcf REMOVE";

inline constexpr std::array<std::string_view, 7> kAeButtons{
    "Program AE",  "Program AE+", "Shutter Priority", "Exposure Priority", "AGC Priority", "Full Manual",
    "Exposure Shutter Priority"};
// What scripts call the AE buttons, which have no group caption.
inline constexpr std::string_view kAeName = "AE MODE";

inline constexpr std::string_view kFilterModeGroup = "IRcf MODE";
inline constexpr std::string_view kAuto = "AUTO";
inline constexpr std::string_view kManual = "MANUAL";
inline constexpr std::string_view kManualGroup = "IRcf Manual control  ";
inline constexpr std::string_view kMoveIn = "OUT=>IN";
inline constexpr std::string_view kMoveOut = "IN=>OUT";
inline constexpr std::string_view kLightGroup = "IR Light at IRcf OUT";
inline constexpr std::string_view kNormalLight = "Normal Light";
inline constexpr std::string_view kIr950 = "IR950nm Light";
inline constexpr std::string_view kIr850 = "IR850nm Light";
inline constexpr std::string_view kThresholdGroup = "IRcf Threshold Offset";

inline constexpr std::string_view kInterruptGroup = "IR Detection Interrupt";
inline constexpr std::string_view kModeLabel = "Mode：";
inline constexpr std::string_view kNotNotify = "not Notify";
inline constexpr std::string_view kNotify = "Notify";
inline constexpr std::string_view kRequestLabel = "IRcf change request：";
// The request button's caption with nothing pending, and what scripts call it.
inline constexpr std::string_view kNoRequest = "-----";
inline constexpr std::string_view kRequestName = "IRcf change request";
// "<< IR Direction : Notify >>" and "<< IR Direction : not Notify >>".
inline constexpr std::string_view kDirectionHeading = "IR Direction";
inline constexpr std::string_view kNotNotifyHeading = " : not Notify >>";
inline constexpr std::string_view kNotifyHeading = " : Notify >>";

// PL Filter.
inline constexpr std::string_view kPlTitle = "PL Filter";
inline constexpr std::string_view kPlControl = "Control";
inline constexpr std::array<std::string_view, 3> kPlModes{"Auto", "Manual(OUT)", "Manual(IN)"};
inline constexpr std::string_view kPlStatus = "Status";
inline constexpr std::string_view kPlOut = "OUT";
inline constexpr std::string_view kPlIn = "IN";
// "<< PL Filter Control :" + " Auto " + ">>" on a change of "Control".
inline constexpr std::string_view kPlHeading = "<< PL Filter Control :";
inline constexpr std::array<std::string_view, 3> kPlModeHeadings{" Auto ", " Manual(OUT) ", " Manual(IN) "};
inline constexpr std::string_view kPlHeadingEnd = ">>";

}  // namespace orva::panels::ircf::texts
