// Sharing a level end to end through the real executable, headless: the
// author's proven level is shared as a code, a second game opens the code,
// the author's solution wins it there and the friend keeps it; a damaged code
// and an unproven level are refused with their reasons.
#include <gtest/gtest.h>

#include <filesystem>

#include "level/uShareCode.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = KELVOD_SOURCE_DIR;

TEST(Share, AProvenLevelTravelsAsACodeAndItsSolutionWinsIt) {
  TestData author, friendData;
  TempDir temp;
  // The author's level, its hint and its proof (the campaign's first level and its solution).
  const std::string level = author.Level("1001.map");
  fs::copy(kSource / "data" / "level" / "1001.map", level);
  WriteText(author.Level("1001.hint"), "Сожгите верёвку.");
  const std::string solution = ReadText((kSource / "levels" / "1001.solution").string());
  WriteText(SolutionPathFor(level), WithProofLine(solution, ReadText(level)));

  RunResult shared = RunKelvod({"--headless", "--data", author.Dir(), "--share", "0"});
  ASSERT_EQ(shared.Status, 0) << shared.Output;
  const std::string code = shared.Output.substr(shared.Output.rfind("kv1."));
  const std::string link = "https://example.org/kelvod.html#" + code.substr(0, code.size() - 1);

  // The friend opens the link and plays the author's solution on it.
  WriteText(temp.File("solution.replay"), solution);
  auto play = [&](const std::string& replay, int ticks) {
    RunResult r = RunKelvod({"--headless", "--data", friendData.Dir(), "--seed", "3", "--open", link,
                             "--replay", replay, "--ticks", std::to_string(ticks), "--dump",
                             temp.File("d.json")});
    EXPECT_EQ(r.Status, 0) << r.Output;
    return ReadJson(temp.File("d.json"));
  };
  nlohmann::json won = play(temp.File("solution.replay"), 1500);
  EXPECT_EQ(won["game"]["shared"], true);
  EXPECT_EQ(won["game"]["solution"], true);  // the author's proof is offered as "Решение"
  EXPECT_EQ(won["game"]["win_visible"], true);
  EXPECT_EQ(won["game"]["next_caption"], "В меню");

  // "Сохранить себе" (left of the field, under "Меню") keeps it, proven, with its hint.
  WriteText(temp.File("keep.replay"), "30 move 90 92\n30 click left\n");
  nlohmann::json kept = play(temp.File("keep.replay"), 40);
  ASSERT_EQ(kept["level_menu"]["levels"].size(), 1u);
  EXPECT_EQ(kept["level_menu"]["levels"][0]["proven"], true);
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
