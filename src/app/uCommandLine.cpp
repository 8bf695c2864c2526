#include "app/uCommandLine.h"

#include "engine/uParse.h"
#include "ui/uLang.h"

std::string UsageText() {
  return "Usage: kelvod [options] [CODE|LINK|FILE]\n"
         "  (no options)         play in a window, starting in the main menu\n"
         "  --data DIR           the data folder (atlas, title, font, sound/, level/); levels are\n"
         "                       saved into its level/ and progress is not kept\n"
         "  --state DIR          keep progress and settings in DIR\n"
         "  --headless           run without a window for --ticks timer ticks, then exit\n"
         "  --render             with --headless: draw every frame offscreen at 1024x768, as a\n"
         "                       window without a GPU would, without writing a picture\n"
         "  --ticks N            with --headless: the number of timer ticks to run (default 0)\n"
         "  --replay FILE        play the input events of FILE, tick by tick\n"
         "  --record FILE        in a window: write the player's input to FILE as a replay\n"
         "  --screenshot FILE    after the last tick, draw one frame offscreen and write it as PNG\n"
         "  --dump FILE          after the last tick, write the game's state as JSON\n"
         "  --sound-log FILE     write one line per sound started, \"<tick> <name>\"\n"
         "  --seed N             seed of the random generator (default: from the clock)\n"
         "  --level N            start level N at once instead of showing the main menu\n"
         "  --open CODE|LINK|FILE  play a shared level: a share code, a link holding one, or\n"
         "                       a level file; \"Сохранить себе\" keeps it among your levels\n"
         "  --share N            with --headless: print the share code of level N (it must be\n"
         "                       proven: won by its author, see docs/headless.md)\n"
         "  --lang ru|en         the language of the game's texts (default: the player's choice\n"
         "                       or locale in a window, Russian without one)\n"
         "  --version            print the version\n"
         "  --help               show this text\n";
}

bool ParseCommandLine(const std::vector<std::string>& args, TOptions* o, std::string* error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size()) {
        *error = "option " + a + " needs a value";
        return false;
      }
      *out = args[++i];
      if (out->empty()) {
        *error = "option " + a + " needs a value, not an empty one";
        return false;
      }
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o->Help = true;
    } else if (a == "--version") {
      o->Version = true;
    } else if (a == "--headless") {
      o->Headless = true;
    } else if (a == "--render") {
      o->Render = true;
    } else if (a == "--data") {
      if (!value(&o->DataDir)) return false;
    } else if (a == "--state") {
      if (!value(&o->StateDir)) return false;
      if (o->StateDir.empty()) {
        *error = "option --state needs a folder";
        return false;
      }
    } else if (a == "--replay") {
      if (!value(&o->Replay)) return false;
    } else if (a == "--record") {
      if (!value(&o->Record)) return false;
    } else if (a == "--screenshot") {
      if (!value(&o->Screenshot)) return false;
    } else if (a == "--dump") {
      if (!value(&o->Dump)) return false;
    } else if (a == "--sound-log") {
      if (!value(&o->SoundLog)) return false;
    } else if (a == "--ticks") {
      if (!value(&v)) return false;
      if (!ParseNumber(v, &o->Ticks)) {
        *error = "option --ticks needs a whole number of ticks (0 or more), not \"" + v + "\"";
        return false;
      }
    } else if (a == "--seed") {
      uint32_t seed = 0;
      if (!value(&v)) return false;
      if (!ParseNumber(v, &seed)) {
        *error = "option --seed needs a whole number from 0 to 4294967295, not \"" + v + "\"";
        return false;
      }
      o->Seed = seed;
    } else if (a == "--lang") {
      if (!value(&o->Lang)) return false;
      if (!IsLanguageCode(o->Lang)) {
        *error = "option --lang needs a language code such as ru or en, not \"" + o->Lang + "\"";
        return false;
      }
    } else if (a == "--level") {
      int32_t level = 0;
      if (!value(&v)) return false;
      if (!ParseNumber(v, &level) || level < 0) {
        *error = "option --level needs a level index (a whole number from 0), not \"" + v + "\"";
        return false;
      }
      o->Level = level;
    } else if (a == "--open") {
      if (!value(&o->Open)) return false;
    } else if (a == "--share") {
      int32_t level = 0;
      if (!value(&v)) return false;
      if (!ParseNumber(v, &level) || level < 0) {
        *error = "option --share needs a level index (a whole number from 0), not \"" + v + "\"";
        return false;
      }
      o->Share = level;
    } else if (!a.empty() && a[0] != '-' && o->Open.empty()) {
      o->Open = a;  // a file or code given alone, as a desktop opens a level file
    } else {
      *error = "unknown option \"" + a + "\" (see --help)";
      return false;
    }
  }
  if (o->Share && !o->Headless) {
    *error = "option --share prints a code and needs --headless";
    return false;
  }
  if (!o->Open.empty() && (o->Level || o->Share)) {
    *error = "option --open cannot be given with --level or --share";
    return false;
  }
  return true;
}
