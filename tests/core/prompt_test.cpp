#include "core/prompt.hpp"

#include <gtest/gtest.h>

#include "core/monitor_sink.hpp"

namespace orva::core {
namespace {

TEST(ScriptedPrompt, AnswersInOrderMessagesTakeNoAnswerAndExtraQuestionsAreCounted) {
  ScriptedPrompt p;
  p.answer(Answer::Yes).answer(Answer::Cancel);
  p.message("Set a communication port.", "Attention");
  EXPECT_EQ(p.ask("Backup?", "Confirmation", Buttons::YesNo, Icon::Question), Answer::Yes);
  EXPECT_EQ(p.ask("Write?", "Confirmation", Buttons::OkCancel, Icon::Question), Answer::Cancel);
  EXPECT_EQ(p.ask("Again?", "Confirmation", Buttons::YesNo, Icon::Question), Answer::Cancel);
  EXPECT_EQ(p.unexpected(), 1);
  ASSERT_EQ(p.asked().size(), 4u);
  EXPECT_EQ(p.asked()[0].text, "Set a communication port.");
  EXPECT_EQ(p.asked()[0].icon, Icon::Exclamation);
  EXPECT_EQ(p.chooseFile({}), std::nullopt);
  EXPECT_EQ(p.unexpected(), 2);
}

TEST(MonitorSink, HeadingAndLineForms) {
  RecordingMonitorSink m;
  m.heading("<< SOFT RESET ON >>");
  m.line("!! RS-232C write error.");
  m.heading("<< EEPROM >>", 1);
  EXPECT_EQ(m.pc(), "\r\n\r\n<< SOFT RESET ON >>\r\n!! RS-232C write error.\r\n<< EEPROM >>");
  EXPECT_EQ(m.log(), "\n\n<< SOFT RESET ON >>\n!! RS-232C write error.\n<< EEPROM >>");
}

}  // namespace
}  // namespace orva::core
