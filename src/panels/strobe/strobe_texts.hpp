#pragma once
// Texts of the STROBE panel, verbatim: its title, group and control captions, the items of its
// choices and the headings its changes write. Tests compare against these constants.
#include <array>
#include <string_view>

namespace orva::panels::strobe::texts {

// The window's title and the heading written when it opens.
inline constexpr std::string_view kTitle = "STROBE";

// Groups.
inline constexpr std::string_view kLinkGroup = "Strobe Link";
inline constexpr std::string_view kCommonGroup = "Strobe";
inline constexpr std::string_view kTriggerGroup = "Trigger";
inline constexpr std::string_view kSoftwareTriggerGroup = "Software Trigger";
inline constexpr std::string_view kAverageGroup = "Average AE Exposure";
inline constexpr std::string_view kPeakGroup = "Peak AE Exposure";
inline constexpr std::string_view kManualNightGroup = "Manual Night";
inline constexpr std::string_view kManualTwilightGroup = "Manual Twilight";

// Control captions.
inline constexpr std::string_view kSwitch = "Switch";
inline constexpr std::string_view kMode = "Mode";
inline constexpr std::string_view kStatus = "Status";
inline constexpr std::string_view kAcquisitionMode = "Acquisition Mode";
inline constexpr std::string_view kActivation = "Activation";
inline constexpr std::string_view kRate = "Rate";
inline constexpr std::string_view kMask = "Mask";
inline constexpr std::string_view kAssert = "Assert";
inline constexpr std::string_view kEdgeType = "Edge Type";
inline constexpr std::string_view kLightMode = "Light Mode";
inline constexpr std::string_view kMovieOn = "MovieOn";
inline constexpr std::string_view kFrameDelay = "Frame Delay";
inline constexpr std::string_view kRise = "Rise";
inline constexpr std::string_view kWidth = "Width";
inline constexpr std::string_view kPilotWidth = "Pilot Width";
inline constexpr std::string_view kPilotDelay = "Pilot Delay";
inline constexpr std::string_view kGateWidth = "Gate Width";
inline constexpr std::string_view kForceStrobeSwitch = "Force Strobe Switch";
inline constexpr std::string_view kSource = "Source";
inline constexpr std::string_view kAutoControlSelector = "Auto Control Selector";
inline constexpr std::string_view kNight = "Night";
inline constexpr std::string_view kTwilight = "Twilight";
inline constexpr std::array<std::string_view, 5> kManualEntries{"AE Iris", "AE Shutter", "AE AGC", "AWB R Gain",
                                                                 "AWB B Gain"};

// Items of the two-way choices and their parts of a heading.
inline constexpr std::string_view kOn = "ON";
inline constexpr std::string_view kOff = "OFF";
inline constexpr std::string_view kHigh = "High";
inline constexpr std::string_view kLow = "Low";
inline constexpr std::string_view kContinuous = "Continuous";
inline constexpr std::string_view kFix = "Fix";
inline constexpr std::string_view kPosi = "Posi";
inline constexpr std::string_view kNega = "Nega";
inline constexpr std::string_view kSingleFrame = "SingleFrame";
inline constexpr std::string_view kSoftware = "Software";
inline constexpr std::string_view kLine0 = "Line0";
inline constexpr std::string_view kOnState = " : On";
inline constexpr std::string_view kOffState = " : Off";
inline constexpr std::string_view kHighState = " : High";
inline constexpr std::string_view kLowState = " : Low";
inline constexpr std::string_view kContinuousState = " : Continuous";
inline constexpr std::string_view kFixState = " : Fix";
inline constexpr std::string_view kPosiState = " : Posi";
inline constexpr std::string_view kNegaState = " : Nega";
inline constexpr std::string_view kSingleFrameState = " : SingleFrame";
inline constexpr std::string_view kSoftwareState = " : Software";
inline constexpr std::string_view kLine0State = " : Line0";

// Headings of the controls that are not per strobe output ("<< name" + item part + " >>").
inline constexpr std::string_view kLinkSwitchHeading = "Strobe Link Switch";
inline constexpr std::string_view kActivationHeading = "Strobe Activetion";  // the camera's own spelling
inline constexpr std::string_view kMaskHeading = "Strobe Mask";
inline constexpr std::string_view kAcquisitionHeading = "Acquisition Mode";
inline constexpr std::string_view kSourceHeading = "Trigger Source";
inline constexpr std::string_view kModeHeading = "StrobeLinkMode";
inline constexpr std::string_view kRateHeading = "Frame Rate";
// Followed by " : StrobeFix" and the like, so the heading has two blanks before the colon.
inline constexpr std::string_view kSelectorHeading = "Strobe Auto Control Selector ";
inline constexpr std::string_view kForceHeading = "Force Strobe Switch";

// List items, in the order of their values.
inline constexpr std::array<std::string_view, 4> kModes{"Auto", "Manual(Day)", "Manual(Twilight)", "Manual(Night)"};
inline constexpr std::array<std::string_view, 4> kModeStates{" : Auto", " : Manual(day)", " : Manual(twilight)",
                                                             " : Manual(night)"};
inline constexpr std::array<std::string_view, 4> kLinkStatuses{"StrobeOff", "Day", "Twilight", "Night"};
inline constexpr std::array<std::string_view, 4> kSwitches{"Off", "On", "On_UnEmittingLight", "On_ContinuousLight"};
inline constexpr std::array<std::string_view, 4> kSwitchStates{" : Off", " : On", " : On_UnEmittingLight",
                                                               " : On_ContinuousLight"};
inline constexpr std::array<std::string_view, 3> kRates{"Frame Rate1", "Frame Rate2", "Frame Rate3"};
inline constexpr std::array<std::string_view, 3> kRateStates{" : Frame Rate1", " : Frame Rate2", " : Frame Rate3"};
inline constexpr std::array<std::string_view, 4> kForces{"On(Twilight/Night)", "On(Day/Twilight/Night)", "On(Night)",
                                                         "Off(All)"};
inline constexpr std::array<std::string_view, 4> kForceStates{" : On(Twilight/Night)", " : On(Day/Twilight/Night)",
                                                              " : On(Night)", " : Off(All)"};
inline constexpr std::array<std::string_view, 3> kSelectors{"StrobeFix", "NotFix", "LedFix"};
inline constexpr std::array<std::string_view, 3> kSelectorStates{" : StrobeFix", " : NotFix", " : LedFix"};
inline constexpr std::array<std::string_view, 8> kTriggerStatuses{
    "Trigger Ungenerating", "TriggerA generating",  "TriggerB generating",  "TriggerAB generating",
    "TriggerC generating",  "TriggerAC generating", "TriggerBC generating", "TriggerABC generating"};

// The software trigger buttons, in the order of the codes 1 to 7 they write, and their headings.
inline constexpr std::array<std::string_view, 7> kTriggerButtons{"A", "B", "AB", "C", "AC", "BC", "ABC"};
inline constexpr std::array<std::string_view, 7> kTriggerHeadings{
    "Software Trigger A",  "Software Trigger B",  "Software Trigger AB", "Software Trigger C",
    "Software Trigger AC", "Software Trigger BC", "Software Trigger ABC"};

// What differs between the strobe outputs A, B and C: the group and the headings.
struct OutputTexts {
  std::string_view group;
  std::string_view switchHeading;
  std::string_view assertHeading;
  std::string_view edgeTypeHeading;
  std::string_view lightModeHeading;
  std::string_view movieOnHeading;
};
inline constexpr std::array<OutputTexts, 3> kOutputs{{
    {"Strobe A", "Strobe A Switch", "Strobe A Assert", "Strobe A EdgeType", "Strobe A Light Mode", "Strobe A MovieOn"},
    {"Strobe B", "Strobe B Switch", "Strobe B Assert", "Strobe B EdgeType", "Strobe B Light Mode", "Strobe B MovieOn"},
    {"Strobe C", "Strobe C Switch", "Strobe C Assert", "Strobe C EdgeType", "Strobe C Light Mode", "Strobe C MovieOn"},
}};

}  // namespace orva::panels::strobe::texts
