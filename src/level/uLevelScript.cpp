#include "level/uLevelScript.h"

#include <map>
#include <sstream>
#include <vector>

#include "engine/uParse.h"
#include "level/uMap.h"
#include "level/uPalette.h"
#include "sim/uRope.h"

namespace {

// Applies one option word; returns what is wrong, or "".
std::string ApplyOption(const std::string& word, TMapObj* o) {
  if (word == "static") {
    o->Dynamic = false;
  } else if (word == "interactive") {
    o->Interactive = true;
  } else if (word == "white" || word == "mirror") {
    int frame = word == "white" ? 1 : 2;
    if (!o->Sprite || o->Sprite->LastFrame < frame) return "this kind cannot be " + word;
    o->Frame = static_cast<uint8_t>(frame);
  } else if (word.rfind("angle=", 0) == 0) {
    if (!ParseNumber(word.substr(6), &o->Angle)) return "bad angle \"" + word + "\"";
  } else if (word.rfind("grow=", 0) == 0) {
    std::string v = word.substr(5);
    auto comma = v.find(',');
    int dw = 0, dh = 0;
    if (comma == std::string::npos || !ParseNumber(v.substr(0, comma), &dw) || !ParseNumber(v.substr(comma + 1), &dh))
      return "bad size change \"" + word + "\" (grow=<dw>,<dh>)";
    const TObjectSize size = o->Resize(dw, dh);
    if (size == TObjectSize::TOO_SMALL) return "the object would become too small";
    if (size == TObjectSize::TOO_LARGE) return "the object would become too large";
  } else {
    return "unknown option \"" + word + "\"";
  }
  return "";
}

class TScriptReader {
 public:
  TScriptReader(TMap* map) : Map(map) {}

  std::string Line(std::vector<std::string> w) {
    std::string label;
    if (!w.empty() && w[0].size() > 1 && w[0].back() == ':') {
      label = w[0].substr(0, w[0].size() - 1);
      w.erase(w.begin());
      if (Labels.count(label)) return "the label \"" + label + "\" is used twice";
    }
    if (w.empty()) return "a label needs an object";
    if (w[0] == "rope") return label.empty() ? Rope(w) : "ropes take no label";
    return Object(w, label);
  }

 private:
  std::string Object(const std::vector<std::string>& w, const std::string& label) {
    int index = 0;
    for (int i = 1; i <= kPaletteSize; ++i)
      if (i != kPaletteRope && w[0] == PaletteEntry(i).Name) index = i;
    if (!index) return "unknown kind \"" + w[0] + "\"";
    std::unique_ptr<TMapObj> object(static_cast<TMapObj*>(MakePaletteObject(*Map, index).release()));
    if (w.size() < 3 || !ParseNumber(w[1], &object->X) || !ParseNumber(w[2], &object->Y))
      return "expected \"" + w[0] + " <x> <y> [options]\"";
    for (size_t i = 3; i < w.size(); ++i) {
      std::string problem = ApplyOption(w[i], object.get());
      if (!problem.empty()) return problem;
    }
    if (!label.empty()) Labels[label] = object.get();
    Map->Objects.push_back(std::move(object));
    return "";
  }

  std::string Rope(const std::vector<std::string>& w) {
    if (w.size() != 3 && w.size() != 7) return "expected \"rope <a> <b> [ax ay bx by]\"";
    auto a = Labels.find(w[1]), b = Labels.find(w[2]);
    if (a == Labels.end() || b == Labels.end()) return "a rope joins two labelled objects defined before it";
    if (a->second == b->second) return "a rope joins two different objects";
    int off[4] = {0, 0, 0, 0};
    for (size_t i = 0; w.size() == 7 && i < 4; ++i)
      if (!ParseNumber(w[3 + i], &off[i])) return "bad rope offset \"" + w[3 + i] + "\"";
    Map->Ropes.push_back(std::make_unique<TRope>(Map->Sprite(kRopeSpriteKind), a->second, b->second,
                                                 off[0], off[1], off[2], off[3]));
    return "";
  }

  TMap* Map;
  std::map<std::string, TMapObj*> Labels;
};

}  // namespace

bool BuildLevelFromScript(const std::string& script, TMap* map, std::string* error) {
  map->Clear();
  TScriptReader reader(map);
  std::istringstream in(script);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    auto hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty()) continue;
    std::string problem = reader.Line(w);
    if (!problem.empty()) {
      *error = "line " + std::to_string(number) + ": " + problem;
      map->Clear();
      return false;
    }
  }
  return true;
}
