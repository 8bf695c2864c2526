// Sharing a level end to end through the real executable, headless: the
// author wins the level in the editor's test play, which proves it, shares it
// as a code, a second game opens the code, the author's recorded solution wins
// it there and the friend keeps it; a damaged code and an unproven level are
// refused with their reasons.
#include <gtest/gtest.h>

#include <filesystem>

#include "level/uReplayFile.h"
#include "level/uLevelSolution.h"
#include "level/uShareCode.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = KELVOD_SOURCE_DIR;

TEST(Share, AProvenLevelTravelsAsACodeAndItsSolutionWinsIt) {
  TestData author, friendData;
  TempDir temp;
  // The author's level and its hint (the campaign's first level), opened in
  // the editor ("Меню", "Открыть", its entry) and won in test play by the
  // campaign's solution played from the click on the play button.
  const std::string level = author.Level("1001.map");
  fs::copy(kSource / "data" / "level" / "1001.map", level);
  WriteText(author.Level("1001.hint"), "Сожгите верёвку.");
  std::string editing = "1 move 512 388\n1 click left\n110 move 90 32\n112 click left\n132 move 512 388\n"
                        "134 click left\n154 move 344 256\n156 click left\n176 move 462 25\n178 click left\n";
  std::vector<TReplayEvent> campaign;
  std::string error;
  ASSERT_TRUE(LoadReplay((kSource / "levels" / "1001.solution").string(), &campaign, &error)) << error;
  for (TReplayEvent e : campaign) e.Tick += 178, editing += FormatReplayEvent(e) + "\n";
  WriteText(temp.File("editing.replay"), editing);
  RunResult proving = RunKelvod({"--headless", "--data", author.Dir(), "--replay", temp.File("editing.replay"),
                                 "--ticks", "700", "--dump", temp.File("e.json")});
  ASSERT_EQ(proving.Status, 0) << proving.Output;
  const nlohmann::json editor = ReadJson(temp.File("e.json"))["editor"];
  EXPECT_EQ(editor["proven"], true);
  EXPECT_EQ(editor["message"], "Уровень пройден — решение сохранено");
  const std::string solution = StripProofLines(ReadText(LevelSolutionPath(level)));

  RunResult shared = RunKelvod({"--headless", "--data", author.Dir(), "--share", "0"});
  ASSERT_EQ(shared.Status, 0) << shared.Output;
  const std::string code = shared.Output.substr(shared.Output.rfind("kv1."));
  const std::string link = "https://example.org/kelvod.html#" + code.substr(0, code.size() - 1);

  // The friend opens the link and plays the author's solution on it, then
  // keeps the level from under the win form ("Сохранить себе", left of the
  // field under "Меню"); a second press finds it kept and makes no copy.
  const std::string keep = "1200 move 90 92\n1200 click left\n1230 move 512 424\n1230 click left\n"
                           "1260 move 90 92\n1260 click left\n";
  WriteText(temp.File("solution.replay"), solution + keep);
  RunResult r = RunKelvod({"--headless", "--data", friendData.Dir(), "--seed", "3", "--open", link, "--replay",
                           temp.File("solution.replay"), "--ticks", "1280", "--dump", temp.File("d.json")});
  ASSERT_EQ(r.Status, 0) << r.Output;
  const nlohmann::json won = ReadJson(temp.File("d.json"));
  EXPECT_EQ(won["game"]["shared"], true);
  EXPECT_EQ(won["game"]["solution"], true);  // the author's proof is offered as "Решение"
  EXPECT_EQ(won["game"]["win_visible"], true);
  EXPECT_EQ(won["game"]["next_caption"], "В меню");
  EXPECT_EQ(won["dialog"]["text"], "Уровень уже в ваших уровнях: 001");
  ASSERT_EQ(won["level_menu"]["levels"].size(), 1u);
  EXPECT_EQ(won["level_menu"]["levels"][0]["proven"], true);
  EXPECT_EQ(ReadText(friendData.Level("1001.hint")), "Сожгите верёвку.\n");

  // An edited level's proof is void; a damaged code is refused and nothing is saved.
  WriteText(level, ReadText(level).substr(80));
  RunResult unproven = RunKelvod({"--headless", "--data", author.Dir(), "--share", "0"});
  EXPECT_EQ(unproven.Status, 1);
  EXPECT_NE(unproven.Output.find("is not proven"), std::string::npos) << unproven.Output;
  for (const std::string& bad : {code.substr(0, code.size() / 2), std::string("kv1.@@@"), std::string("kv9.AAAA"), std::string("hello")}) {
    RunResult refused = RunKelvod({"--headless", "--data", friendData.Dir(), "--open", bad});
    EXPECT_EQ(refused.Status, 2) << bad;
    EXPECT_NE(refused.Output.find("the share code cannot be opened: "), std::string::npos) << refused.Output;
  }
  EXPECT_FALSE(fs::exists(friendData.Level("1002.map")));
}

}  // namespace
