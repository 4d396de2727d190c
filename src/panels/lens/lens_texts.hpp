#pragma once
// Texts of the lens panels (ZOOM CONTROL, FOCUS, ZOOM/FOCUS CONTROL) and of the go-to
// magnification routine, verbatim: captions, headings and monitor lines. Tests compare against
// these constants.
#include <array>
#include <string_view>

namespace orva::panels::lens::texts {

// Window titles and the headings the panels write when they open.
inline constexpr std::string_view kZoomTitle = "ZOOM CONTROL";
inline constexpr std::string_view kZoomHeading = "ZOOM CONTROL";
inline constexpr std::string_view kFocusTitle = "FOCUS";
inline constexpr std::string_view kFocusHeading = "FOCUS CONTROL";
inline constexpr std::string_view kZoomFocusTitle = "ZOOM/FOCUS CONTROL";
inline constexpr std::string_view kZoomFocusHeading = "ZOOM_FOCUS CONTROL";

// Zoom part.
inline constexpr std::string_view kHighSpeed = "HIGH SPEED";
inline constexpr std::string_view kNormalSpeed = "NOMAL SPEED";  // the window's own spelling
inline constexpr std::string_view kSlowSpeed = "SLOW SPEED";
inline constexpr std::string_view kZoomPosition = "<<< ZOOM POSITION >>>";
inline constexpr std::string_view kDigiZoom = "DIGI. ZOOM";
inline constexpr std::string_view kInstant = "INSTANT";
inline constexpr std::string_view kContinuous = "CONTINUOUS";
inline constexpr std::string_view kMax = "MAX";
inline constexpr std::string_view kDigiMark = "DIGI.";
// A continuous maximum the camera holds in a form the coding cannot show.
inline constexpr std::string_view kNoValue = "--";
inline constexpr std::array<std::string_view, 16> kSlowSpeeds{
    "Slow",        "SuperSlow01", "SuperSlow02", "SuperSlow03", "SuperSlow04", "SuperSlow05",
    "SuperSlow06", "SuperSlow07", "SuperSlow08", "SuperSlow09", "SuperSlow10", "SuperSlow11",
    "SuperSlow12", "SuperSlow13", "SuperSlow14", "SuperSlow15"};
inline constexpr std::string_view k36xMode = "36x mode";
inline constexpr std::string_view k35xMode = "35x mode";
inline constexpr std::string_view kCompatibilityGroup = "S654 Series Magnification Compatibility Mode";
inline constexpr std::string_view kSoftResetQuestion = "Soft Reset is carried out. Is it all right ?";
inline constexpr std::string_view kAttention = "Attention";
inline constexpr std::string_view kSoftResetOn = "SOFT RESET ON";  // as a heading: "<< SOFT RESET ON >>"
inline constexpr std::string_view kInstantRange =
    "Zoom Magnification range for Instant Digital Zoom must be between 1.0 and 2.0.";
inline constexpr std::string_view kError = "Error";

// A slider move runs on the operation slot under this heading and name.
inline constexpr std::string_view kZoomMoveHeading = "ZOOM Position Move";
inline constexpr std::string_view kZoomMoveName = "ZOOM Position Move";

// Focus part.
inline constexpr std::string_view kAuto = "auto";
inline constexpr std::string_view kManual = "manual";
inline constexpr std::string_view kAutoFocus = "AUTO FOCUS";
inline constexpr std::string_view kManualFocus = "MANUAL FOCUS";
inline constexpr std::string_view kZoomCue = "ZOOM CUE";
inline constexpr std::string_view kOnePushAf = "One Push AF";
inline constexpr std::string_view kManualGroup = "MANUAL";
inline constexpr std::string_view kSpeed = "SPEED";
inline constexpr std::string_view kFocusStep = "FOCUS step";
inline constexpr std::string_view kZoomStep = "ZOOM step";
inline constexpr std::string_view kCoarse = "Coarse";
inline constexpr std::string_view kFine = "Fine";
inline constexpr std::string_view kAdjustmentOn = "Adj. ON ";  // eight characters, as "Adj. OFF"
inline constexpr std::string_view kAdjustmentOff = "Adj. OFF";

// AF options.
inline constexpr std::string_view kOn = "ON";
inline constexpr std::string_view kOff = "OFF";
inline constexpr std::string_view kHeadingOn = " On >>";
inline constexpr std::string_view kHeadingOff = " Off >>";
inline constexpr std::string_view kQuickAf = "Quick AF";
inline constexpr std::string_view kQuickAfHeading = "<< Quick AF :";
inline constexpr std::string_view kMultiAreaAf = "Multi area AF";
inline constexpr std::string_view kMultiAreaAfHeading = "<< Multi Area AF :";
inline constexpr std::string_view kPointLightAf = "Point Light source AF Zoom";
inline constexpr std::string_view kPointLightAfHeading = "<< Point light Source AF Zoom :";
inline constexpr std::string_view kAfZoomMacro = "AF Zoom Macro Mode";
inline constexpr std::string_view kAfZoomMacroHeading = "<< AF Zoom Macro Mode :";
inline constexpr std::string_view kLensPositionSetting = "Lens position setting";
inline constexpr std::string_view kTypeA = "Type-A";
inline constexpr std::string_view kTypeB = "Type-B";
inline constexpr std::string_view kLensPositionHeading = "<< Lens position set mode :";
inline constexpr std::string_view kTypeAHeading = " Type-A >>";
inline constexpr std::string_view kTypeBHeading = " Type-B >>";
inline constexpr std::string_view kSetNowZoomPosition = "Set Now Zoom Position";
inline constexpr std::string_view kMfCondition = "MF changes condition";
inline constexpr std::string_view kOnlyTimeProgress = "Only time progress";
inline constexpr std::string_view kTimeOrFocusedStop = "Time progress or focused stop";
inline constexpr std::string_view kFastAf = "Fast AF";
inline constexpr std::string_view kFastAfOnHeading = "<< Fast AF ON >>";
inline constexpr std::string_view kFastAfOffHeading = "<< Fast AF OFF >>";
inline constexpr std::string_view kMinFocusLength = "Min Focus Length";
inline constexpr std::array<std::string_view, 5> kMinFocusLengths{"1cm", "10cm", "30cm", "1m", "1.5m"};
inline constexpr std::array<std::string_view, 5> kMinFocusHeadings{
    "<< Minimum Focus Length 1cm >>", "<< Minimum Focus Length 10cm >>", "<< Minimum Focus Length 30cm >>",
    "<< Minimum Focus Length 1m >>", "<< Minimum Focus Length 1.5m >>"};
inline constexpr std::string_view kNewMinFocusLength = "New Min Focus Length";
inline constexpr std::array<std::string_view, 9> kNewMinFocusLengths{
    "Original mode", "1cm", "10cm", "30cm", "1m", "1.5m", "3m", "6m", "10m"};
inline constexpr std::array<std::string_view, 9> kNewMinFocusHeadings{
    "<< Original mode Active >>",
    "<<Min Focus Len Wide 1cm Tele 1.0m>>",
    "<<Min Focus Len Wide 10cm Tele 1.0m>>",
    "<<Min Focus Len Wide 30cm Tele 1.0m>>",
    "<<Min Focus Len Wide 1.0m Tele 1.0m>>",
    "<<Min Focus Len Wide 1.5m Tele 1.5m>>",
    "<<Min Focus Len Wide 3.0m Tele 3.0m>>",
    "<<Min Focus Len Wide 6.0m Tele 6.0m>>",
    "<<Min Focus Len Wide 10m Tele 10m>>"};
inline constexpr std::string_view kLensConditionCheck = "Lens Condition Check";
inline constexpr std::string_view kSetAndRead = "Set&&Read";  // the doubled ampersand shows one
inline constexpr std::string_view kLensConditionHeading = "<< Lens Condition Check >>";
inline constexpr std::string_view kState = "state";
inline constexpr std::string_view kTimeSeconds = "time[sec]";
inline constexpr std::string_view kFocusOffset = "Focus Offset";
inline constexpr std::string_view kHex = "[HEX]";
inline constexpr std::string_view kFocusOffsetHeading = "<< Focus Offset >>";
inline constexpr std::string_view kAfWatchdog = "AF Watchdog";
inline constexpr std::string_view kActiveTime = "active time[sec]";
inline constexpr std::string_view kStopTimeSeconds = "stop time[sec]";
inline constexpr std::string_view kStopTimeMinutes = "stop time[min]";
inline constexpr std::string_view kCycleLimit = "cycle limit number";
inline constexpr std::string_view kMinutes = "min";
inline constexpr std::string_view kSeconds = "sec";
inline constexpr std::string_view kWatchdogState = "State";
inline constexpr std::array<std::string_view, 4> kWatchdogModes{"Off", "Interval", "Time Limit", "Restart Time"};
inline constexpr std::string_view kWatchdogModeHeading = "<< AF Watchdog mode :";
inline constexpr std::array<std::string_view, 4> kWatchdogModeSuffixes{" OFF >>", " Interval >>", " Time Limit >>",
                                                                         " Restart Time >>"};
inline constexpr std::string_view kOptionSetting = "Option Setting";
inline constexpr std::string_view kTimerStopOff = "Timer-stop at AF-stop OFF";
inline constexpr std::string_view kTimerStopOn = "Timer-stop at AF-stop ON";
inline constexpr std::string_view kRestartInPauseOff = "AF-restart in pause OFF";
inline constexpr std::string_view kRestartInPauseOn = "AF-restart in pause ON";
inline constexpr std::string_view kAfSensitivity = "AF Sensitivity";
inline constexpr std::array<std::string_view, 4> kAfSensitivities{"Super High", "High", "Normal", "Low"};
inline constexpr std::string_view kAfSensitivityHeading = "<< AF Sensitivity :";
inline constexpr std::array<std::string_view, 4> kAfSensitivitySuffixes{" Super High >>", " High >>", " Normal >>",
                                                                          " Low >>"};
inline constexpr std::string_view kNewAfSearch = "New AF Search";
inline constexpr std::string_view kTypeAOnly = "Type A";
inline constexpr std::string_view kTypeAB = "Type A&&B";  // the doubled ampersand shows one
inline constexpr std::string_view kTypeC = "Type C";
inline constexpr std::string_view kAfSearchTypeAHeading = "<< new AF search Type A only >>";
inline constexpr std::string_view kAfSearchTypeABHeading = "<< new AF search Type A&B >>";
inline constexpr std::string_view kAfSearchTypeCHeading = "<< new AF search Type C >>";
inline constexpr std::string_view kAfSearchOffHeading = "<< new AF search OFF >>";
inline constexpr std::string_view kFocusInit = "Focus Init";
inline constexpr std::string_view kReset = "Reset";

// Go to magnification, as monitor lines.
inline constexpr std::string_view kGoToZoom = "+++ Go To Zoom +++";
inline constexpr std::string_view kIncorrectRatio = "+++ incorrect ratio ! -> to WIDE +++";
inline constexpr std::string_view kGoToTele = "--- Go To TELE ---";
inline constexpr std::string_view kGoToWide = "--- Go To WIDE ---";
inline constexpr std::string_view kFinishZoom = "*** finish Zoom ***";

}  // namespace orva::panels::lens::texts
