// The folders of src/ form one stack (the build's KELVOD_LAYERS, lowest
// first): a file includes headers of its own folder and of the folders below
// it, never above. SDL is reached only inside the engine, Box2D only from the
// physics up, and the engine's internal header only by the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Split(const std::string& words) {
  std::istringstream in(words);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

class TLayerCheck {
 public:
  explicit TLayerCheck(std::vector<std::string> order) : Order(std::move(order)) {}

  // Every include of every file under `src` that runs against the order, as
  // "file:line: what is wrong" (file relative to `src`).
  std::vector<std::string> Problems(const fs::path& src) const {
    std::vector<std::string> problems;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
      if (!entry.is_regular_file()) continue;
      const fs::path relative = fs::relative(entry.path(), src);
      CheckFile(entry.path(), relative, &problems);
    }
    std::sort(problems.begin(), problems.end());
    return problems;
  }

 private:
  // The rank of a folder in the order; files directly in src/ (main.cpp) stand on top.
  int Rank(const std::string& folder) const {
    auto it = std::find(Order.begin(), Order.end(), folder);
    return it == Order.end() ? -1 : static_cast<int>(it - Order.begin());
  }

  void CheckFile(const fs::path& file, const fs::path& relative, std::vector<std::string>* problems) const {
    const bool top = std::distance(relative.begin(), relative.end()) == 1;
    const std::string folder = top ? "" : relative.begin()->string();
    const int rank = top ? static_cast<int>(Order.size()) : Rank(folder);
    if (rank < 0) {
      problems->push_back(relative.string() + ": the folder \"" + folder + "\" has no place in the order");
      return;
    }
    static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::ifstream in(file);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      std::smatch m;
      if (!std::regex_search(line, m, include)) continue;
      std::string why = m[1] == "<" ? CheckSystem(m[2], folder, rank) : CheckOwn(m[2], folder, rank);
      if (!why.empty())
        problems->push_back(relative.string() + ":" + std::to_string(number) + ": " + why);
    }
  }

  std::string CheckOwn(const std::string& header, const std::string& folder, int rank) const {
    const auto slash = header.find('/');
    if (slash == std::string::npos) return "";  // beside the file itself
    const std::string target = header.substr(0, slash);
    const int targetRank = Rank(target);
    if (targetRank < 0) return "\"" + header + "\" is not in a folder of src/";
    if (targetRank > rank)
      return (folder.empty() ? "main" : folder) + " includes \"" + header + "\" of " + target +
             ", which stands above it";
    if (header == "engine/zglInternal.h" && folder != "engine")
      return "\"engine/zglInternal.h\" is the engine's own";
    return "";
  }

  std::string CheckSystem(const std::string& header, const std::string& folder, int rank) const {
    if (header.rfind("SDL", 0) == 0 && folder != "engine")
      return "<" + header + ">: SDL is reached only through the engine";
    if (header.rfind("box2d/", 0) == 0 && rank < Rank("sim"))
      return "<" + header + ">: Box2D is used only from sim up";
    return "";
  }

  std::vector<std::string> Order;
};

std::string Listed(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += "  " + l + "\n";
  return out;
}

TEST(Layers, NoIncludeOfTheGameRunsAgainstTheOrder) {
  const std::vector<std::string> order = Split(KELVOD_LAYERS);
  ASSERT_EQ(order.front(), "engine");
  std::vector<std::string> problems = TLayerCheck(order).Problems(fs::path(KELVOD_SOURCE_DIR) / "src");
  EXPECT_TRUE(problems.empty()) << "order, lowest first: " << KELVOD_LAYERS << "\n" << Listed(problems);
}

TEST(Layers, EveryWrongIncludeIsReportedWithItsFileAndLine) {
  TempDir dir;
  const fs::path src = dir.Path() / "src";
  WriteText((src / "ui/uA.cpp").string(), "#include \"ui/uA.h\"\n\n#include \"app/uGlobals.h\"\n");
  WriteText((src / "engine/zglB.cpp").string(), "#include <box2d/box2d.h>\n");
  WriteText((src / "sim/uC.cpp").string(), "#include <SDL.h>\n#include \"engine/zglInternal.h\"\n");
  WriteText((src / "level/uD.cpp").string(), "  #  include \"ui/uA.h\"\n#include <box2d/box2d.h>\n#include \"uD.h\"\n");
  WriteText((src / "main.cpp").string(), "#include \"app/uProgram.h\"\n");
  WriteText((src / "extra/uE.cpp").string(), "\n");
  const std::vector<std::string> expected = {
      "engine/zglB.cpp:1: <box2d/box2d.h>: Box2D is used only from sim up",
      "extra/uE.cpp: the folder \"extra\" has no place in the order",
      "sim/uC.cpp:1: <SDL.h>: SDL is reached only through the engine",
      "sim/uC.cpp:2: \"engine/zglInternal.h\" is the engine's own",
      "ui/uA.cpp:3: ui includes \"app/uGlobals.h\" of app, which stands above it",
  };
  EXPECT_EQ(TLayerCheck(Split("engine ui sim level scenes editor app")).Problems(src), expected);
}

}  // namespace
