// orva-cli status: the status block through the BLOCK READ panel on the built-in camera, one
// "Caption: value" line per control the panel shows for the model, and no status in EAP.
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

std::vector<std::string> captions(const std::string& out) {
  std::vector<std::string> found;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) found.push_back(line.substr(0, line.find(": ")));
  return found;
}

TEST(CliStatus, PrintsTheShownControlsInThePanelsOrderAndNeedsAfp) {
  CliRun eap = cli({"--simulate=QB-183", "--protocol", "eap", "status"});
  EXPECT_EQ(eap.code, kExitUsage);
  EXPECT_EQ(eap.out, "");
  EXPECT_THAT(eap.err, HasSubstr("the status block needs AFP"));

  // This model shows defog (feature word bit 1) and EIS (option word bit 6), not the enhanced
  // intensity mode (feature word bit 15).
  CliRun afp = cli({"--simulate=QB-183", "--protocol", "afp", "status"});
  ASSERT_EQ(afp.code, kExitOk) << afp.err;
  const std::vector<std::string> order{
      "Focus mode", "Cont. Digi. Zoom", "Inst. Digi. Zoom", "Focus motion", "Zoom motion", "IRcf removal status",
      "Back Light Compensation(BLC) On/Off", "DSS status", "Program AE mode switch", "Defog Mode",
      "White Balance Mode", "Manual Aperture Mode", "WDR ON/OFF", "WDR Auto/Manual", "WB mode in auto", "WDR mode",
      "Privacy Mask On/Off", "Fade(mute) On/Off", "Reverse/mirror/invert On/Off", "Freeze On/Off",
      "Motion Detect On/Off", "Motion Tracking On/Off", "EIS On/Off", "Focus Position", "Zoom Position",
      "IRIS position", "Shutter position", "AGC position"};
  EXPECT_EQ(captions(afp.out), order);
  EXPECT_THAT(afp.out, HasSubstr("\nCont. Digi. Zoom: off\n"));
  EXPECT_THAT(afp.out, HasSubstr("\nProgram AE mode switch: Program AE\n"));
  EXPECT_THAT(afp.out, ::testing::ContainsRegex("\nFocus Position: [0-9A-F]{4}\n"));
  // The panel prints the same, and takes no changes.
  EXPECT_EQ(cli({"--simulate=QB-183", "--protocol", "afp", "panel", "blockread"}).out, afp.out);
  CliRun refused = cli({"--simulate=QB-183", "--protocol", "afp", "panel", "blockread", "--do", "EIS On/Off"});
  EXPECT_EQ(refused.code, kExitUsage);
  EXPECT_THAT(refused.err, HasSubstr("\"EIS On/Off\" is shown only"));
}

}  // namespace
}  // namespace orva::cli
