// orva-cli's panel commands against orva-camsim on a pseudo-terminal: a panel driven from the
// command line sends the frames the window would, the camera keeps what it was set to, and
// what other commands change is what the panels then read, over the real line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/child_process.hpp"
#include "support/temp_folder.hpp"

namespace {

using ::testing::HasSubstr;
using orva::testing::ChildProcess;
using orva::testing::ProgramRun;

// A virtual camera of one model on a pty, and orva-cli talking to it in one protocol.
class ModelOnPty {
 public:
  // `extra`: more of orva-camsim's options ("--line-timing").
  ModelOnPty(const std::string& model, const std::string& protocol, const std::vector<std::string>& extra = {})
      : protocol_(protocol) {
    std::vector<std::string> args{"--model", model, "--protocol", protocol, "--settings", "9600,E,8,1", "--verbose"};
    args.insert(args.end(), extra.begin(), extra.end());
    camsim_ = std::make_unique<ChildProcess>(ORVA_CAMSIM_PATH, args, folder_.path() / "camsim.err");
    pty_ = camsim_->firstLine().substr(4);
  }
  ProgramRun cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--port", pty_, "--settings", "9600,E,8,1", "--no-negotiate", "--protocol", protocol_});
    return orva::testing::runProgram(ORVA_CLI_PATH, args, folder_.path() / "cli.err");
  }
  // Every frame the camera heard and its answer, once it has stopped.
  std::string heard() {
    camsim_->signalAndWait(SIGTERM);
    std::ifstream in(folder_.path() / "camsim.err");
    return {std::istreambuf_iterator<char>(in), {}};
  }

 private:
  orva::testing::TempFolder folder_;
  std::string protocol_;
  std::string pty_;
  std::unique_ptr<ChildProcess> camsim_;
};

TEST(CliPanelsE2e, EisSetupSwitchesTheStabiliserOnAndKeepsItForTheNextCommand) {
  for (const char* protocol : {"afp", "eap"}) {
    SCOPED_TRACE(protocol);
    // QB-183: EIS level 2, the frequency buttons named by mode.
    ModelOnPty camera("QB-183", protocol);
    ProgramRun set = camera.cli({"panel", "eis", "--do", "mode1(center: 5Hz)", "--do", "EIS"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(set.out, "Frequency Range select: mode1(center: 5Hz)\nEIS: on\n");
    EXPECT_EQ(camera.cli({"read", "FCCC"}).out, "01\n");
    EXPECT_EQ(camera.cli({"read", "FCCE"}).out, "01\n");
    const std::string heard = camera.heard();
    if (std::string(protocol) == "afp") {
      EXPECT_THAT(heard, HasSubstr("S830402T -> "));
      EXPECT_THAT(heard, HasSubstr("S830102T -> "));
    } else {
      EXPECT_THAT(heard, HasSubstr(":WFCCE01 -> "));
      EXPECT_THAT(heard, HasSubstr(":WFCCC01 -> "));
    }
  }
}

TEST(CliPanelsE2e, EnhancedIntensitySetsTheModeAndTheLevelAndRefusesANonHexLevel) {
  // QB-191 has the newer panel only (feature word bit 15) and no whiteout reduction.
  ModelOnPty camera("QB-191", "afp");
  ProgramRun set =
      camera.cli({"panel", "enhancedintensity", "--do", "Mode=On", "--do", "Enhanced Intensity Effect Level=3C"});
  ASSERT_EQ(set.exitCode, 0) << set.err;
  EXPECT_EQ(set.out, "Mode: On\nEnhanced Intensity Effect Level: 3C\n");
  EXPECT_EQ(camera.cli({"read", "FF90"}).out, "01\n");
  EXPECT_EQ(camera.cli({"read", "FF91"}).out, "3C\n");
  // A refused level sends nothing and does not beep: the command goes on.
  ProgramRun refused = camera.cli({"panel", "enhancedintensity", "--do", "Enhanced Intensity Effect Level=G1"});
  EXPECT_EQ(refused.exitCode, 0) << refused.err;
  EXPECT_THAT(refused.out, HasSubstr("Enhanced Intensity Effect Level: 3C\n"));
  const std::string heard = camera.heard();
  EXPECT_THAT(heard, HasSubstr("S990102T -> "));
  EXPECT_THAT(heard, HasSubstr("S99023CT -> "));
  EXPECT_THAT(heard, ::testing::Not(HasSubstr("S9902G")));
}

TEST(CliPanelsE2e, StatusShowsWhatOtherCommandsSetAndTheBlockReadPanelShowsTheSame) {
  ModelOnPty camera("QB-183", "afp");
  ProgramRun before = camera.cli({"status"});
  ASSERT_EQ(before.exitCode, 0) << before.err;
  EXPECT_THAT(before.out, HasSubstr("\nWhite Balance Mode: Auto\n"));
  EXPECT_THAT(before.out, HasSubstr("\nPrivacy Mask On/Off: off\n"));

  for (const std::vector<std::string>& change :
       {std::vector<std::string>{"set", "3101", "02"}, {"set", "7101", "02"}, {"write-word", "FFDE", "0123"}})
    ASSERT_EQ(camera.cli(change).exitCode, 0) << change[1];
  ProgramRun after = camera.cli({"status"});
  ASSERT_EQ(after.exitCode, 0) << after.err;
  EXPECT_THAT(after.out, HasSubstr("\nWhite Balance Mode: Manual\n"));
  EXPECT_THAT(after.out, HasSubstr("\nPrivacy Mask On/Off: on\n"));
  EXPECT_THAT(after.out, HasSubstr("\nAGC position: 0123\n"));

  ProgramRun panel = camera.cli({"panel", "blockread", "--do", "Read Settings"});
  EXPECT_EQ(panel.exitCode, 0) << panel.err;
  EXPECT_EQ(panel.out, after.out);
}

TEST(CliPanelsE2e, ExposureGainShutterAndIrisPanelsLeaveTheCameraWithWhatTheySetAndRefuseAGainOverTheTop) {
  // QB-145 offers the three panels (EAP only). The 60 Hz standard, automatic exposure and the
  // iris at F2.8, upwards, to start.
  ModelOnPty camera("QB-145", "eap");
  for (const std::vector<std::string>& start :
       {std::vector<std::string>{"write", "FF08", "20"}, {"write", "FB7F", "00"}, {"write-word", "FB32", "0180"},
        {"write", "FB7E", "02"}})
    ASSERT_EQ(camera.cli(start).exitCode, 0) << start[1];

  ProgramRun agc = camera.cli({"panel", "agc", "--do", "AGC gain=39", "--do", "OFF", "--do", "AGC level=7"});
  ASSERT_EQ(agc.exitCode, 0) << agc.err;
  EXPECT_THAT(agc.out, HasSubstr("AGC: OFF\nAGC gain: 39 (disabled)\nAGC level: 7\n"));
  EXPECT_EQ(camera.cli({"read-word", "FD46"}).out, "04E0\n");
  EXPECT_EQ(camera.cli({"read-word", "FB38"}).out, "00E0\n");
  ProgramRun over = camera.cli({"panel", "agc", "--do", "AGC level=31"});
  EXPECT_EQ(over.exitCode, 2);
  EXPECT_EQ(camera.cli({"read-word", "FB38"}).out, "00E0\n");

  ProgramRun shutter = camera.cli({"panel", "shutter", "--do", "MANUAL", "--do", "1/250"});
  ASSERT_EQ(shutter.exitCode, 0) << shutter.err;
  EXPECT_EQ(shutter.out, "AUTO/MANUAL: MANUAL\nSpeed: 1/250\n");
  // "1/50" belongs to the other standard.
  EXPECT_EQ(camera.cli({"panel", "shutter", "--do", "1/50"}).exitCode, 2);
  EXPECT_EQ(camera.cli({"read-word", "FCA8"}).out, "003E\n");
  EXPECT_EQ(camera.cli({"read", "FCAA"}).out, "A3\n");
  ProgramRun iris = camera.cli({"panel", "exposure", "--do", "MANUAL", "--do", "F2.0"});
  ASSERT_EQ(iris.exitCode, 0) << iris.err;
  EXPECT_THAT(iris.out, HasSubstr("AUTO/MANUAL: MANUAL\nF-number: F2.0\n"));
  EXPECT_EQ(camera.cli({"read-word", "FB32"}).out, "00C0\n");
  EXPECT_EQ(camera.cli({"read", "FB7E"}).out, "00\n") << "downward from where it stood";
  EXPECT_EQ(camera.cli({"read", "FB7F"}).out, "D0\n") << "gain, shutter and iris, a bit each";

  const std::string heard = camera.heard();
  EXPECT_THAT(heard, HasSubstr(":wFD4604E0 -> "));
  EXPECT_THAT(heard, HasSubstr(":wFCA8003E -> "));
  EXPECT_THAT(heard, ::testing::Not(HasSubstr(":wFB3803E0")));
  EXPECT_THAT(heard, ::testing::Not(HasSubstr(":wFCA80137")));
}

TEST(CliPanelsE2e, TriggerLedStepsItsFieldsInTheEepromOrInTheRamMirrorAsTheConfigurationSays) {
  ModelOnPty camera("QB-109", "eap");
  orva::testing::TempFolder configs;
  const auto config = [&configs](int ledControl) {
    const auto file = configs / ("led" + std::to_string(ledControl) + ".ini");
    std::ofstream(file) << "LED Control = " << ledControl << "\n";
    return file.string();
  };
  for (const std::vector<std::string>& set : {std::vector<std::string>{"write-word", "14A2", "0100"},
                                              {"write", "1255", "35"}, {"write-word", "B9FA", "0200"}})
    ASSERT_EQ(camera.cli(set).exitCode, 0) << set[1];

  ProgramRun eeprom = camera.cli({"--config", config(1), "panel", "triggerled", "--do", "LED ON Time [t1]=+2", "--do",
                                  "Target Mag [z1]=up", "--do", "Pattern-2"});
  ASSERT_EQ(eeprom.exitCode, 0) << eeprom.err;
  EXPECT_THAT(eeprom.out, HasSubstr("\nLED ON Time [t1]: 0102\nTime [t1]: Time="));
  EXPECT_THAT(eeprom.out, HasSubstr("\nTarget Mag [z1]:  4\n"));
  EXPECT_THAT(eeprom.out, HasSubstr("LED Pattern: Pattern-2\n"));
  EXPECT_THAT(eeprom.out, ::testing::Not(HasSubstr("EEPROM")));
  EXPECT_EQ(camera.cli({"read-word", "14A2"}).out, "0102\n");
  EXPECT_EQ(camera.cli({"read", "1255"}).out, "45\n");

  ProgramRun mirror = camera.cli({"--config", config(2), "panel", "triggerled", "--do", "LED ON Time [t1]=down"});
  ASSERT_EQ(mirror.exitCode, 0) << mirror.err;
  EXPECT_THAT(mirror.out, HasSubstr("\nLED ON Time [t1]: 01FF\n"));
  EXPECT_THAT(mirror.out, HasSubstr("\nEEPROM　書込みなし: on\n"));
  EXPECT_EQ(camera.cli({"read-word", "B9FA"}).out, "01FF\n");
  EXPECT_EQ(camera.cli({"read-word", "14A2"}).out, "0102\n");
  const std::string heard = camera.heard();
  EXPECT_THAT(heard, HasSubstr(":w14A20102 -> "));
  EXPECT_THAT(heard, HasSubstr(":wB9FA01FF -> "));
}

TEST(CliPanelsE2e, AeControlSetsProgramAerPlusTwoAndAPriorityModesParameterAfterItsWaitAndItsWeightingData) {
  for (const char* protocol : {"eap", "afp"}) {
    SCOPED_TRACE(protocol);
    ModelOnPty camera("QB-172", protocol);
    ProgramRun set = camera.cli({"panel", "ae", "--do", "Program AER+2"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_THAT(set.out, HasSubstr("AE MODE: Program AE+\nProgram AE: \nProgram AE+: Program AER+2\n"));
    EXPECT_EQ(camera.cli({"read", "FCC8"}).out, "21\n");
    if (std::string(protocol) == "afp") {
      EXPECT_EQ(camera.cli({"get", "2105"}).out, "06\n");
    }
    // The next action waits for the mode's own parameter to be read back.
    ProgramRun priority = camera.cli({"panel", "ae", "--do", "AE MODE=Shutter Priority", "--do", "Shutter Speed=1/250"});
    ASSERT_EQ(priority.exitCode, 0) << priority.err;
    EXPECT_THAT(priority.out, HasSubstr("Shutter Speed: 1/250\n"));
    EXPECT_EQ(camera.cli({"read", "FCC9"}).out, "09\n");
    // The sub-panel on its own: a set, then the areas read again.
    ProgramRun weighting = camera.cli({"panel", "weighting", "--do", "Luminance Weighting Data=3ABC"});
    ASSERT_EQ(weighting.exitCode, 0) << weighting.err;
    EXPECT_THAT(weighting.out, HasSubstr("\nweighting area 3 :: 000ABC\n"));
    EXPECT_EQ(camera.cli({"read-word", "FAE7"}).out, "0ABC\n");
  }
}

TEST(CliPanelsE2e, BackLightCoarseUpTakesTheLevelToItsTopInFiveSteps) {
  for (const char* protocol : {"afp", "eap"}) {
    SCOPED_TRACE(protocol);
    ModelOnPty camera("QB-183", protocol);
    ProgramRun set =
        camera.cli({"panel", "backlight", "--do", "ON", "--do", "BLC level=E0", "--do", "ADJ. MODE=COARSE", "--do", "UP"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(set.out, "BLC: ON\nBLC level: EF\nADJ. MODE: COARSE\n");
    EXPECT_EQ(camera.cli({"read", "FECE"}).out, "02\n");
    EXPECT_EQ(camera.cli({"read", "FD8E"}).out, "EF\n");
    const std::string heard = camera.heard();
    const bool afp = std::string(protocol) == "afp";
    EXPECT_THAT(heard, HasSubstr(afp ? "S2302E8T -> " : ":WFD8EE8 -> "));
    EXPECT_THAT(heard, HasSubstr(afp ? "S2302EFT -> " : ":WFD8EEF -> "));
  }
}

TEST(CliPanelsE2e, ApertureStepsTheChosenLevelSetsThePictureModeAndKeepsAnOlderProcessorBelow20) {
  for (const char* protocol : {"afp", "eap"}) {
    SCOPED_TRACE(protocol);
    // QB-183: processor class 4 or more, levels up to 3F.
    ModelOnPty camera("QB-183", protocol);
    ProgramRun set = camera.cli({"panel", "aperture", "--do", "MANUAL", "--do", "ADJ. DATA=Horizontal", "--do",
                                 "Horizontal=01", "--do", "Vertical=3F", "--do", "DOWN", "--do", "PIC_MODE3"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(set.out,
              "APERTURE: MANUAL\nHorizontal: 00\nVertical: 3F\nADJ. MODE: FINE\nADJ. DATA: Horizontal\n"
              "Picture mode: PIC_MODE3\n");
    EXPECT_EQ(camera.cli({"read", "FBF6"}).out, "00\n");
    EXPECT_EQ(camera.cli({"read", "FBF9"}).out, "3F\n");
    EXPECT_EQ(camera.cli({"read", "FF60"}).out, "03\n");
  }
  // QB-110: processor class 3, levels up to 1F.
  ModelOnPty older("QB-110", "eap");
  ProgramRun refused = older.cli({"panel", "aperture", "--do", "MANUAL", "--do", "Vertical=20"});
  EXPECT_EQ(refused.exitCode, 2);
  ProgramRun stepped = older.cli({"panel", "aperture", "--do", "ADJ. MODE=COARSE", "--do", "ADJ. DATA=Vertical", "--do",
                                  "Vertical=1C", "--do", "UP"});
  ASSERT_EQ(stepped.exitCode, 0) << stepped.err;
  EXPECT_EQ(older.cli({"read", "FBF9"}).out, "1F\n");
  EXPECT_THAT(older.heard(), ::testing::Not(HasSubstr(":WFBF920")));
}

TEST(CliPanelsE2e, PictureStepsTheModeAndSendsAGammaGroupAndTheMaximumGainOfThatMode) {
  for (const char* protocol : {"eap", "afp"}) {
    SCOPED_TRACE(protocol);
    // QB-172: AGC opens the picture panel; picture modes, gamma curves, zoom sensitivity.
    ModelOnPty camera("QB-172", protocol);
    for (const std::vector<std::string>& start :
         {std::vector<std::string>{"write", "FF60", "04"}, {"write", "FCC8", "00"}})
      ASSERT_EQ(camera.cli(start).exitCode, 0) << start[1];
    ProgramRun set = camera.cli({"panel", "picture", "--do", "Picture mode/mode", "--do", "Y_Gamma/3=7F", "--do",
                                 "Y_Gamma/Set", "--do", "Maximum AGC gain=20"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_THAT(set.out, HasSubstr("Maximum AGC gain: 20\n"));
    EXPECT_THAT(set.out, HasSubstr("Y_Gamma/3: 7F\n"));
    EXPECT_THAT(set.out, HasSubstr("Picture mode: 1\n"));
    EXPECT_EQ(camera.cli({"read", "FF60"}).out, "01\n");
    EXPECT_EQ(camera.cli({"read", "FBDB"}).out, "7F\n") << "mode 1's third Y_Gamma register";
    EXPECT_EQ(camera.cli({"read-word", "FD46"}).out, "0280\n");
    EXPECT_EQ(camera.cli({"read", "FA20"}).out, "50\n") << "the reference byte of mode 1";
    // A bad hex value sends nothing and fails the command.
    EXPECT_EQ(camera.cli({"panel", "picture", "--do", "Y_Gamma/3=G1", "--do", "Y_Gamma/Set"}).exitCode, 2);
    EXPECT_EQ(camera.cli({"read", "FBDB"}).out, "7F\n");
  }
}

TEST(CliPanelsE2e, IrcfManualPutsTheFilterUnderManualControlAndMovesItInAndOutAgain) {
  for (const char* protocol : {"eap", "afp"}) {
    SCOPED_TRACE(protocol);
    // QB-176: the IR cut filter panel by function word bit 2; Program AER+2 puts the filter
    // under automatic control. The filter starts in and takes its time to move: at the line's
    // own pace the position poll sees it arrive.
    ModelOnPty camera("QB-176", protocol, {"--line-timing"});
    ASSERT_EQ(camera.cli({"write", "FCC8", "21"}).exitCode, 0);
    ProgramRun run = camera.cli({"panel", "ircf", "--do", "MANUAL", "--do", "IN=>OUT", "--do",
                                 "IRcf Manual control=OUT=>IN"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("AE MODE: Program AE+\nIRcf MODE: MANUAL\nIRcf Manual control: OUT=>IN\n"));
    EXPECT_EQ(camera.cli({"read", "FCC8"}).out, "01\n");
    const bool afp = std::string(protocol) == "afp";
    if (!afp) {
      // The panel waited for the camera to report each position, then let the command go.
      EXPECT_EQ(camera.cli({"read", "FFE7"}).out, "01\n");
      EXPECT_EQ(camera.cli({"read", "FFE6"}).out, "00\n");
    }
    const std::string heard = camera.heard();
    if (afp) {
      EXPECT_THAT(heard, HasSubstr("S210504T -> "));
      EXPECT_THAT(heard, HasSubstr("S220201T -> "));
      EXPECT_THAT(heard, HasSubstr("S220202T -> "));
    } else {
      EXPECT_THAT(heard, HasSubstr(":WFCC801 -> "));
      EXPECT_THAT(heard, HasSubstr(":WFFE6C0 -> :WFFE6C0\n:RFFE7"));
      EXPECT_THAT(heard, HasSubstr(":WFFE680 -> :WFFE680\n:RFFE7"));
    }
  }
}

TEST(CliPanelsE2e, WhiteBalanceManualSetsACodedGainAndTheArrowsStepIt) {
  for (const char* protocol : {"eap", "afp"}) {
    SCOPED_TRACE(protocol);
    // QB-172: class 8, gains up to 0x03FF.
    ModelOnPty camera("QB-172", protocol);
    ProgramRun set = camera.cli({"panel", "whitebalance", "--do", "MANUAL", "--do", "R gain=0200"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_THAT(set.out, HasSubstr("R gain: 0180\n"));
    EXPECT_THAT(set.out, HasSubstr("ADJ. DATA: R/B gain\nADJ. MODE: FINE\n"));
    EXPECT_EQ(camera.cli({"read-word", "FBBC"}).out, "0180\n");
    ProgramRun step = camera.cli({"panel", "whitebalance", "--do", "R gain", "--do", "COARSE", "--do", "DOWN"});
    ASSERT_EQ(step.exitCode, 0) << step.err;
    EXPECT_THAT(step.out, HasSubstr("R gain: 00D8\n"));
    EXPECT_EQ(camera.cli({"read-word", "FBBC"}).out, "00D8\n");
    const std::string heard = camera.heard();
    EXPECT_THAT(heard, HasSubstr(std::string(protocol) == "afp" ? "S31020180T -> " : ":wFBBC0180 -> "));
  }
}

TEST(CliPanelsE2e, EepromPresetStoresTheLensStateInARecordAndTheCameraRunsIt) {
  // QB-110: EXPOSURE is captioned "EEPROM PRESET" (family 0xD0) and opens the 14-record panel.
  ModelOnPty camera("QB-110", "eap");
  ProgramRun run = camera.cli({"panel", "eeprompreset", "--do", "TYPE I Memory1", "--do", "Preset1"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("TYPE I Memory1: on\n"));
  EXPECT_THAT(run.out, HasSubstr("TYPE II Memory1: off (disabled)\n"));
  // The record run as TYPE I, its status polled to the end.
  const std::string heard = camera.heard();
  EXPECT_LT(heard.find(":W171101 -> "), heard.find(":wF8B00101 -> "));
  EXPECT_THAT(heard, HasSubstr(":RF8B200 -> :RF8B202"));
}

}  // namespace

TEST(CliPanelsE2e, EepromStorePresetStoresARecordByTheCameraAndRunsItAsTheTypeListSays) {
  // QB-146: the EEPROM PRESET button leads to the 64-record panel (function word bit 15).
  ModelOnPty camera("QB-146", "eap");
  ProgramRun run = camera.cli({"panel", "eepromstorepreset", "--do", "TYPE :=CAMERA", "--do", "Memory5", "--do",
                               "Preset5"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("Memory5: on\n"));
  EXPECT_THAT(run.out, HasSubstr("Memory4: off\n"));
  // The camera marked the record its own; a fresh panel finds it ticked.
  EXPECT_EQ(camera.cli({"read", "1859"}).out, "03\n");
  EXPECT_THAT(camera.cli({"panel", "eepromstorepreset"}).out, HasSubstr("Memory5: on\n"));
  const std::string heard = camera.heard();
  EXPECT_THAT(heard, HasSubstr(":wF8B04305 -> "));
  // A record the camera stored runs as TYPE II unless the list shows TYPE I.
  EXPECT_THAT(heard, HasSubstr(":wF8B00205 -> "));
}
