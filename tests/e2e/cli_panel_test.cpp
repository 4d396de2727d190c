// orva-cli panels and panel: the registered panels on the built-in camera, listed as its
// launcher gates them, opened, acted on by caption and printed without a window.
#include "cli.hpp"
#include "cli_run.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace orva::cli {
namespace {

using ::testing::HasSubstr;

TEST(CliPanels, ListsEveryPanelEnabledAsTheLauncherGatesItForTheModel) {
  CliRun all = cli({"--simulate=QB-183", "--protocol", "afp", "panels"});
  EXPECT_EQ(all.code, kExitOk) << all.err;
  EXPECT_EQ(all.out,
            "cameratype\tCAMERA TYPE\tenabled\nzoom\tZOOM CONTROL\tenabled\nfocus\tFOCUS\tenabled\n"
            "zoomfocus\tZOOM/FOCUS CONTROL\tenabled\n"
            "eis\tErectronic Image Stabilizer (EIS) setup\tenabled\nnightscope\tEnhanced Intensity\tdisabled\n"
            "enhancedintensity\tEnhanced Intensity\tdisabled\n"
            "blockread\tBLOCK READ\tenabled\n"
            "exposure\tEXPOSURE CONTROL\tdisabled\nshutter\tSHUTTER SPEED\tdisabled\nagc\tAGC\tdisabled\n"
            "ae\tAE Control\tenabled\nweighting\tLuminance Weighting Data\tenabled\nstrobe\tSTROBE\tdisabled\n"
            "triggerled\tTrigger-LED / ZOOM Control\tdisabled\n"
            "whitebalance\tWHITE BALANCE\tenabled\nbacklight\tBACK LIGHT COMP.\tenabled\n"
            "aperture\tAPERTURE LEVEL\tenabled\npicture\tAGC\tenabled\nircf\tIRcf CONTROL\tenabled\n"
            "plfilter\tPL Filter\tdisabled\nmempreset\tMEM-PRESET\tenabled\ndirectpreset\tDIRECT-PRESET\tenabled\n"
            "eepromstorepreset\tEEPROM Store Preset\tenabled\ncampreset\tCAMPRESET\tenabled\n"
            "eeprompreset\tEEPROM PRESET...\tdisabled\n");
  // This model's launcher has no ZOOM / FOCUS, nor the two lens buttons that follow it.
  CliRun some = cli({"--simulate=QB-165", "--protocol", "eap", "panels"});
  EXPECT_EQ(some.code, kExitOk) << some.err;
  EXPECT_EQ(some.out,
            "cameratype\tCAMERA TYPE\tenabled\nzoom\tZOOM CONTROL\tdisabled\nfocus\tFOCUS\tdisabled\n"
            "zoomfocus\tZOOM/FOCUS CONTROL\tdisabled\n"
            "eis\tErectronic Image Stabilizer (EIS) setup\tdisabled\nnightscope\tEnhanced Intensity\tdisabled\n"
            "enhancedintensity\tEnhanced Intensity\tdisabled\n"
            "blockread\tBLOCK READ\tdisabled\n"
            "exposure\tEXPOSURE CONTROL\tdisabled\nshutter\tSHUTTER SPEED\tdisabled\nagc\tAGC\tdisabled\n"
            "ae\tAE Control\tenabled\nweighting\tLuminance Weighting Data\tenabled\nstrobe\tSTROBE\tdisabled\n"
            "triggerled\tTrigger-LED / ZOOM Control\tdisabled\n"
            "whitebalance\tWHITE BALANCE\tdisabled\nbacklight\tBACK LIGHT COMP.\tdisabled\n"
            "aperture\tAPERTURE LEVEL\tdisabled\npicture\tAGC\tenabled\nircf\tIRcf CONTROL\tdisabled\n"
            "plfilter\tPL Filter\tdisabled\nmempreset\tMEM-PRESET\tdisabled\ndirectpreset\tDIRECT-PRESET\tdisabled\n"
            "eepromstorepreset\tEEPROM Store Preset\tdisabled\ncampreset\tCAMPRESET\tdisabled\n"
            "eeprompreset\tEEPROM PRESET...\tdisabled\n");
  CliRun refused = cli({"--simulate=QB-165", "--protocol", "eap", "panel", "zoomfocus"});
  EXPECT_EQ(refused.code, kExitUsage);
  EXPECT_EQ(refused.out, "");
  EXPECT_THAT(refused.err, HasSubstr("does not offer the panel \"zoomfocus\""));
}

TEST(CliPanels, PerformsTheActionsInOrderAndPrintsEveryShownControl) {
  for (const char* protocol : {"afp", "eap"}) {
    SCOPED_TRACE(protocol);
    const std::vector<std::string> base{"--simulate=QB-183", "--protocol", protocol, "panel"};
    const auto panel = [&base](std::vector<std::string> args) {
      args.insert(args.begin(), base.begin(), base.end());
      return cli(std::move(args));
    };
    // The type code is read on request only.
    EXPECT_EQ(panel({"cameratype"}).out, "Get: \n");
    CliRun got = panel({"cameratype", "--do", "Get"});
    EXPECT_EQ(got.code, kExitOk) << got.err;
    EXPECT_THAT(got.out, ::testing::MatchesRegex("Get: [0-9A-F]{4}\n"));

    CliRun before = panel({"zoomfocus"});
    EXPECT_THAT(before.out, HasSubstr("\nAF Sensitivity: Super High\n"));
    EXPECT_THAT(before.out, HasSubstr("\nFocus Offset: 00\n"));
    EXPECT_THAT(before.out, HasSubstr("\nINSTANT/MAX: 2.0\nCONTINUOUS/DIGI. ZOOM: off\n"));
    CliRun set = panel({"zoomfocus", "--do", "AF Sensitivity=Normal", "--do", "Focus Offset=2A", "--do",
                        "INSTANT/MAX=1.5", "--do", "CONTINUOUS/DIGI. ZOOM"});
    EXPECT_EQ(set.code, kExitOk) << set.err;
    EXPECT_THAT(set.out, HasSubstr("\nAF Sensitivity: Normal\n"));
    EXPECT_THAT(set.out, HasSubstr("\nFocus Offset: 2A\n"));
    EXPECT_THAT(set.out, HasSubstr("\nINSTANT/MAX: 1.5\nCONTINUOUS/DIGI. ZOOM: on\n"));
  }
}

TEST(CliPanels, UnknownAmbiguousOrRefusedActionsExitTwoAndPrintNothing) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"panel", "nopanel"}, "no panel \"nopanel\""},
      {{"panel", "zoomfocus", "--do", "Nope"}, "no control \"Nope\""},
      {{"panel", "zoomfocus", "--do", "MAX=1.5"}, "use GROUP/CAPTION"},
      {{"panel", "zoomfocus", "--do", "AF Sensitivity=Loud"}, "\"Loud\" is not a choice"},
      {{"panel", "zoomfocus", "--do", "Focus Offset=2AA"}, "the panel refused \"Focus Offset=2AA\""},
      {{"panel", "zoomfocus", "--do", "INSTANT/MAX=2.5"}, "the panel refused"},
  };
  for (const auto& [args, said] : cases) {
    std::vector<std::string> all{"--simulate=QB-183"};
    all.insert(all.end(), args.begin(), args.end());
    CliRun r = cli(all);
    EXPECT_EQ(r.code, kExitUsage) << ::testing::PrintToString(args);
    EXPECT_EQ(r.out, "");
    EXPECT_THAT(r.err, HasSubstr(said));
  }
}

}  // namespace
}  // namespace orva::cli
