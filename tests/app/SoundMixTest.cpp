// What a player hears of every campaign solution, mixed offline from the sound
// files as the game mixes them, must never clip; and sound only listens: the
// game goes exactly the same with a sound device as without one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/uProgram.h"
#include "app/uReplay.h"
#include "engine/zglSound.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = KELVOD_SOURCE_DIR;
constexpr double kRate = 22050, kTickSeconds = 0.015;

// The samples of one of the game's sound files (16-bit mono PCM), -1 to 1.
std::vector<float> ReadSound(const std::string& name) {
  std::ifstream in(kSource / "data" / "sound" / (name + ".wav"), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  const size_t data = bytes.find("data");
  std::vector<float> out;
  for (size_t i = data + 8; data != std::string::npos && i + 1 < bytes.size(); i += 2)
    out.push_back(static_cast<float>(static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) |
                                                          (static_cast<uint8_t>(bytes[i + 1]) << 8))) /
                  32768.0f);
  return out;
}

struct TPlay {
  uint64_t Tick;
  std::string Name;
};

// The log's sounds mixed at full volume, at their loudest (no random lowering,
// in the middle between the speakers), kSoundMaxSame of a name at once, a name
// started again in the same tick heard once. A loop is taken to go on until
// its name starts again or the run ends.
std::vector<float> Mix(const std::vector<TPlay>& plays, uint64_t ticks) {
  std::map<std::string, std::vector<float>> sounds;
  std::vector<float> mix(static_cast<size_t>((static_cast<double>(ticks) * kTickSeconds + 3) * kRate));
  std::map<std::string, std::vector<size_t>> starts;  // of each name so far
  std::map<std::string, uint64_t> lastTick;
  for (size_t p = 0; p < plays.size(); ++p) {
    const auto& [tick, name] = plays[p];
    if (lastTick.count(name) && lastTick[name] == tick) continue;
    lastTick[name] = tick;
    if (!sounds.count(name)) sounds[name] = ReadSound(name);
    const std::vector<float>& s = sounds[name];
    EXPECT_FALSE(s.empty()) << name;
    if (s.empty()) continue;
    const bool loop = name == "beam_hot" || name == "box_beam";
    const auto at = static_cast<size_t>(static_cast<double>(tick) * kTickSeconds * kRate);
    size_t end = loop ? mix.size() : std::min(mix.size(), at + s.size());
    for (size_t q = p + 1; loop && q < plays.size(); ++q)
      if (plays[q].Name == name) {
        end = static_cast<size_t>(static_cast<double>(plays[q].Tick) * kTickSeconds * kRate);
        break;
      }
    // A play that would be one too many cuts the oldest still sounding.
    auto& before = starts[name];
    before.push_back(at);
    if (before.size() > static_cast<size_t>(kSoundMaxSame)) {
      const size_t cut = before[before.size() - 1 - kSoundMaxSame];
      for (size_t i = at; i < std::min(mix.size(), cut + s.size()); ++i) mix[i] -= kSoundHeadroom * s[i - cut];
    }
    for (size_t i = at; i < end; ++i) mix[i] += kSoundHeadroom * s[(i - at) % s.size()];
  }
  return mix;
}

std::vector<TPlay> ReadLog(const std::string& path) {
  std::vector<TPlay> plays;
  std::istringstream in(ReadText(path));
  TPlay p;
  while (in >> p.Tick >> p.Name) plays.push_back(p);
  return plays;
}

std::vector<std::string> Solutions() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(kSource / "levels"))
    if (e.path().extension() == ".solution") names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The level's index in the shipped list, which holds a level for each solution.
int IndexOf(const std::string& name) {
  std::vector<std::string> levels;
  for (const auto& e : fs::directory_iterator(kSource / "data" / "level"))
    if (e.path().extension() == ".map") levels.push_back(e.path().stem().string());
  std::sort(levels.begin(), levels.end());
  return static_cast<int>(std::find(levels.begin(), levels.end(), name) - levels.begin());
}

uint64_t Ticks(const std::string& solution) {
  std::vector<TReplayEvent> events;
  std::string error;
  EXPECT_TRUE(LoadReplay(solution, &events, &error)) << error;
  return events.empty() ? 0 : events.back().Tick + 700;
}

TEST(SoundMix, NoCampaignSolutionsMixClips) {
  TempDir temp;
  for (const std::string& name : Solutions()) {
    const std::string solution = (kSource / "levels" / (name + ".solution")).string();
    const uint64_t ticks = Ticks(solution);
    RunResult r = RunKelvod({"--headless", "--data", (kSource / "data").string(), "--seed", "7",
                             "--level", std::to_string(IndexOf(name)), "--ticks",
                             std::to_string(ticks), "--replay", solution, "--sound-log",
                             temp.File("sound.log")});
    ASSERT_EQ(r.Status, 0) << r.Output;
    const std::vector<float> mix = Mix(ReadLog(temp.File("sound.log")), ticks);
    const auto loudest = std::max_element(mix.begin(), mix.end(),
                                          [](float a, float b) { return std::abs(a) < std::abs(b); });
    const double peak = std::abs(*loudest);
    std::cout << name << ": peak " << 20 * std::log10(std::max(peak, 1e-9)) << " dBFS at tick "
              << static_cast<double>(loudest - mix.begin()) / kRate / kTickSeconds << "\n";
    EXPECT_LT(peak, 1.0) << name << " clips";
    // KELVOD_MIX_DIR: keep the mixes (16-bit WAV) to listen to and measure.
    if (const char* keep = std::getenv("KELVOD_MIX_DIR")) {
      std::ofstream out(fs::path(keep) / (name + ".raw"), std::ios::binary);
      for (float v : mix) {
        const auto s = static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767));
        out.write(reinterpret_cast<const char*>(&s), 2);
      }
    }
  }
}

// Solutions with a blast, falling and thrown bodies, and a laser box burning.
TEST(SoundMix, TheGameGoesTheSameWithASoundDeviceAsWithout) {
  TempDir temp;
  for (const char* name : {"1003", "1005", "1012"}) {
    const std::string solution = (kSource / "levels" / (std::string(name) + ".solution")).string();
    auto run = [&](bool device, const std::string& dump) {
      if (device) {
        ASSERT_TRUE(eng_OpenAudio("dummy"));
      }
      const int status = KelvodMain({"--headless", "--data", (kSource / "data").string(), "--seed",
                                     "5", "--level", std::to_string(IndexOf(name)), "--ticks",
                                     std::to_string(Ticks(solution)), "--replay", solution,
                                     "--dump", temp.File(dump)},
                                    KELVOD_EXE);
      EXPECT_EQ(status, 0);
      EXPECT_FALSE(eng_AudioOpen()) << "the run closes what it used";
    };
    run(false, "silent.json");
    run(true, "heard.json");
    EXPECT_EQ(ReadText(temp.File("silent.json")), ReadText(temp.File("heard.json"))) << name;
  }
}

}  // namespace
