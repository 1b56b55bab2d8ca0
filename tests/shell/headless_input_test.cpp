#include <gtest/gtest.h>

#include "shell/command_line.h"
#include "shell/headless_input.h"

namespace kest {
namespace {

using T = TInputEvent::TType;

TEST(HeadlessInput, ReadsEveryEventKind) {
  THeadlessInput input;
  std::string error;
  ASSERT_TRUE(
      input.Parse("# a comment\n"
                  "3 key-down 0x41\r\n"
                  "3 key-repeat 65\n"
                  "4 key-up 65\n"
                  "\n"
                  "5 mouse-down 10 20 right\n"
                  "6 mouse-up 10 20\n"
                  "7 move -5 8\n"
                  "8 wheel down\n"
                  "9 toolbar exit\n"
                  "10 deactivate\n"
                  "11 activate\n"
                  "12 close\n",
                  &error))
      << error;
  ASSERT_EQ(input.EventsAt(3).size(), 2u);
  EXPECT_EQ(input.EventsAt(3)[0].Key, 0x41);
  EXPECT_FALSE(input.EventsAt(3)[0].Repeat);
  EXPECT_TRUE(input.EventsAt(3)[1].Repeat);
  EXPECT_EQ(input.EventsAt(4)[0].Type, T::KeyUp);
  EXPECT_EQ(input.EventsAt(5)[0].Button, TInputEvent::kRight);
  EXPECT_EQ(input.EventsAt(7)[0].X, -5);
  EXPECT_EQ(input.EventsAt(8)[0].WheelSteps, -1);
  EXPECT_EQ(input.EventsAt(9)[0].Type, T::ToolbarClick);
  EXPECT_EQ(input.EventsAt(9)[0].ToolbarButton, 0);
  EXPECT_EQ(input.EventsAt(12)[0].Type, T::CloseRequest);
  EXPECT_TRUE(input.EventsAt(13).empty());
  EXPECT_EQ(input.LastTick(), 12);
}

TEST(HeadlessInput, ScriptEventsCarryAReferenceAndArguments) {
  THeadlessInput input;
  std::string error;
  ASSERT_TRUE(input.Parse("20 event menu.kst:top 1 はい\n20 event other.kst\n", &error)) << error;
  const auto& events = input.ScriptEventsAt(20);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].Reference, "menu.kst:top");
  EXPECT_EQ(events[0].Args, (std::vector<std::string>{"1", "\x82\xCD\x82\xA2"})) << "arguments in Shift-JIS";
  EXPECT_TRUE(events[1].Args.empty());
  EXPECT_TRUE(input.EventsAt(20).empty());
  EXPECT_EQ(input.LastTick(), 20);
}

TEST(HeadlessInput, TypedTextIsTheRestOfTheLineInUtf8) {
  THeadlessInput input;
  std::string error;
  ASSERT_TRUE(input.Parse("7 text \xE3\x81\x82 b  c\n", &error)) << error;
  ASSERT_EQ(input.EventsAt(7).size(), 1u);
  EXPECT_EQ(input.EventsAt(7)[0].Type, TInputEvent::TType::TextInput);
  EXPECT_EQ(input.EventsAt(7)[0].Text, "\xE3\x81\x82 b  c");
}

TEST(HeadlessInput, WrongLinesAreNamed) {
  for (const char* bad :
       {"0 close", "x close", "3 jump", "3 key-down", "3 key-down 0x41 9", "3 mouse-down 1", "3 mouse-down 1 2 thumb",
        "3 wheel left", "3 close now", "3 toolbar quit", "3 event", "3 text"}) {
    THeadlessInput input;
    std::string error;
    EXPECT_FALSE(input.Parse(std::string("1 close\n") + bad + "\n", &error)) << bad;
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
  }
}

TEST(CommandLine, OptionsAndParameters) {
  TCommandLine cl = ParseCommandLine(
      {"game", "--headless", "--ticks", "40", "--delta", "16", "extra.dat", "--answers", "no,YES", "--trace", "t.txt"});
  EXPECT_EQ(cl.Error, "");
  EXPECT_EQ(cl.Params, (std::vector<std::string>{"game", "extra.dat"}));
  EXPECT_TRUE(cl.Headless);
  EXPECT_EQ(cl.Ticks, 40);
  EXPECT_EQ(cl.DeltaMs, 16);
  EXPECT_EQ(cl.Answers, (std::vector<TUiResult>{TUiResult::No, TUiResult::Yes}));
  EXPECT_EQ(cl.TraceFile, "t.txt");
  EXPECT_TRUE(ParseCommandLine({"/CONFIG"}).Config);
  EXPECT_TRUE(ParseCommandLine({"--config"}).Config);
  EXPECT_FALSE(ParseCommandLine({"game", "/config"}).Config);
  EXPECT_NE(ParseCommandLine({"--ticks", "0"}).Error, "");
  EXPECT_NE(ParseCommandLine({"--delta", "300"}).Error, "");
  EXPECT_NE(ParseCommandLine({"--answers", "maybe"}).Error, "");
  EXPECT_NE(ParseCommandLine({"--frobnicate"}).Error, "");
  EXPECT_NE(ParseCommandLine({"--trace"}).Error, "");
  EXPECT_EQ(ParseCommandLine({"--date", "2024-02-29T23:59:58"}).Date, "2024-02-29T23:59:58");
  EXPECT_NE(ParseCommandLine({"--date", "2023-02-29"}).Error, "");
  EXPECT_TRUE(ParseCommandLine({"--dump-vars"}).DumpVariables);
}

}  // namespace
}  // namespace kest
