#include "app/uReplay.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/TestSupport.h"

namespace {

std::vector<TReplayEvent> Parse(const std::string& text, std::string* error) {
  std::istringstream in(text);
  std::vector<TReplayEvent> events;
  EXPECT_FALSE(ParseReplay(in, "r.replay", &events, error) && !error->empty());
  return events;
}

TEST(ReplayParser, ReadsEveryEventKindSkippingBlanksAndComments) {
  std::string error;
  auto e = Parse(
      "# a comment\n\n1 move 10 -20\n2 press left\n2 release middle\n3 click middle\n"
      "4 key shift down\n5 key ctrl up\r\n",
      &error);
  ASSERT_TRUE(error.empty()) << error;
  ASSERT_EQ(e.size(), 6u);
  EXPECT_EQ(e[0].kind, TReplayEvent::MOVE);
  EXPECT_EQ(e[0].X, 10);
  EXPECT_EQ(e[0].Y, -20);
  EXPECT_EQ(e[0].Line, 3);
  EXPECT_EQ(e[1].kind, TReplayEvent::PRESS);
  EXPECT_EQ(e[1].Button, M_BLEFT);
  EXPECT_EQ(e[2].kind, TReplayEvent::RELEASE);
  EXPECT_EQ(e[2].Button, M_BMIDDLE);
  EXPECT_EQ(e[3].kind, TReplayEvent::CLICK);
  EXPECT_EQ(e[4].Key, K_SHIFT);
  EXPECT_TRUE(e[4].Down);
  EXPECT_EQ(e[5].Key, K_CTRL);
  EXPECT_FALSE(e[5].Down);
  EXPECT_EQ(e[5].Tick, 5u);
}

TEST(ReplayParser, BadLinesNameTheFileAndLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"1 move 10\n", "r.replay:1:"},
      {"\n\n0 click left\n", "r.replay:3:"},
      {"1 click right\n", "r.replay:1: unknown mouse button"},
      {"1 jump\n", "r.replay:1: unknown event"},
      {"x move 1 2\n", "r.replay:1: the tick"},
      {"1 key alt down\n", "r.replay:1: unknown key"},
      {"1 key shift sideways\n", "r.replay:1: expected down or up"},
      {"1 press left extra\n", "r.replay:1:"},
      {"1 move 1.5 2\n", "r.replay:1:"},
      {"1 move -2147483648 0\n", "r.replay:1: the pointer position is beyond"},
      {"1 move 0 100001\n", "r.replay:1: the pointer position is beyond"},
      {"1 key f13 down\n", "r.replay:1: unknown key"},
      {"1 key A down\n", "r.replay:1: unknown key"},
      {"1 text\n", "r.replay:1: expected"},
      {"1 quit now\n", "r.replay:1: expected"},
  };
  for (const auto& [text, expected] : cases) {
    std::istringstream in(text);
    std::vector<TReplayEvent> events;
    std::string error;
    EXPECT_FALSE(ParseReplay(in, "r.replay", &events, &error)) << text;
    EXPECT_EQ(error.rfind(expected, 0), 0u) << "for \"" << text << "\" got: " << error;
  }
}

TEST(ReplayParser, TicksMustNotDecrease) {
  std::istringstream in("5 click left\n5 move 1 1\n4 click left\n");
  std::vector<TReplayEvent> events;
  std::string error;
  EXPECT_FALSE(ParseReplay(in, "r.replay", &events, &error));
  EXPECT_NE(error.find("r.replay:3:"), std::string::npos) << error;
  EXPECT_NE(error.find("decrease"), std::string::npos) << error;
}

TEST(ReplayParser, FormattedEventsReadBackTheSame) {
  std::string text =
      "3 move 5 6\n3 press left\n4 release left\n4 click middle\n9 key ctrl down\n"
      "9 key z down\n9 key return up\n10 key escape down\n10 key delete down\n"
      "10 key backspace up\n11 key f1 down\n11 key f12 up\n12 text Уровень  2 # not a comment\n"
      "13 quit\n100000 move -100000 100000\n";
  std::istringstream in(text);
  std::vector<TReplayEvent> events;
  std::string error;
  ASSERT_TRUE(ParseReplay(in, "r", &events, &error));
  std::string out;
  for (const auto& e : events) out += FormatReplayEvent(e) + "\n";
  EXPECT_EQ(out, text);
}

TEST(ReplayPlayer, KeysPressForOneTickAndTextArrivesOnlyWhileTextInputIsOn) {
  eng_Reset();
  std::istringstream in("1 key r down\n1 text ignored\n2 key r up\n2 text Да\n3 quit\n");
  std::vector<TReplayEvent> events;
  std::string error;
  ASSERT_TRUE(ParseReplay(in, "r", &events, &error)) << error;
  TReplayPlayer player(events);
  player.BeforeTick(1);
  EXPECT_TRUE(key_Press(KeyLetter('r')));
  EXPECT_TRUE(key_Down(KeyLetter('r')));
  EXPECT_EQ(eng_TypedText(), "");
  key_ClearState();
  EXPECT_FALSE(key_Press(KeyLetter('r')));
  eng_StartTextInput();
  player.BeforeTick(2);
  EXPECT_FALSE(key_Down(KeyLetter('r')));
  EXPECT_EQ(eng_TypedText(), "Да");
  key_ClearState();
  EXPECT_EQ(eng_TypedText(), "");
  eng_SetCloseHandled(true);
  player.BeforeTick(3);
  EXPECT_FALSE(eng_ExitRequested());
  EXPECT_TRUE(eng_TakeCloseRequest());
  EXPECT_FALSE(eng_TakeCloseRequest());
  eng_Reset();
}

TEST(ReplayPlayer, AClickIsReleasedBeforeTheNextTick) {
  eng_Reset();
  std::istringstream in("2 move 7 8\n2 click left\n3 press middle\n4 release middle\n");
  std::vector<TReplayEvent> events;
  std::string error;
  ASSERT_TRUE(ParseReplay(in, "r", &events, &error));
  TReplayPlayer player(events);
  player.BeforeTick(1);
  EXPECT_EQ(mouse_X(), 0);
  player.BeforeTick(2);
  EXPECT_EQ(mouse_X(), 7);
  EXPECT_TRUE(mouse_Click(M_BLEFT));
  EXPECT_TRUE(mouse_Down(M_BLEFT));
  mouse_ClearState();
  player.BeforeTick(3);
  EXPECT_FALSE(mouse_Down(M_BLEFT));
  EXPECT_FALSE(mouse_Click(M_BLEFT));
  EXPECT_TRUE(mouse_Down(M_BMIDDLE));
  EXPECT_FALSE(player.Finished());
  player.BeforeTick(4);
  EXPECT_FALSE(mouse_Down(M_BMIDDLE));
  EXPECT_TRUE(player.Finished());
  eng_Reset();
}

TEST(ReplayRecorder, MergesMovesWithinATickAndWritesAReplayableFile) {
  TempDir dir;
  TReplayRecorder rec;
  std::string error;
  ASSERT_TRUE(rec.Open(dir.File("r.replay"), &error));
  zglInputEvent move;
  move.kind = zglInputEvent::MOVE;
  move.x = 1, move.y = 2;
  rec.Record(3, move);
  move.x = 5, move.y = 6;
  rec.Record(3, move);
  zglInputEvent press;
  press.kind = zglInputEvent::PRESS;
  rec.Record(3, press);
  zglInputEvent key;
  key.kind = zglInputEvent::KEY_DOWN;
  key.key = K_SHIFT;
  rec.Record(4, key);
  move.x = 9;
  rec.Record(7, move);
  rec.Close();
  std::vector<TReplayEvent> events;
  ASSERT_TRUE(LoadReplay(dir.File("r.replay"), &events, &error)) << error;
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(FormatReplayEvent(events[0]), "3 move 5 6");
  EXPECT_EQ(FormatReplayEvent(events[1]), "3 press left");
  EXPECT_EQ(FormatReplayEvent(events[2]), "4 key shift down");
  EXPECT_EQ(FormatReplayEvent(events[3]), "7 move 9 6");
}

TEST(ReplayRecorder, AnUnwritableFileIsReported) {
  TempDir dir;
  TReplayRecorder rec;
  std::string error;
  EXPECT_FALSE(rec.Open(dir.Path().string(), &error));
  EXPECT_NE(error.find("cannot write"), std::string::npos);
}

}  // namespace
