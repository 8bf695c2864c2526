#include "engine/uMoFile.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

TEST(MoFile, ReadsWhatMsgfmtWritesAndRefusesTheRest) {
  TempDir dir;
  WriteText(dir.File("t.po"), "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                              "msgid \"Меню\"\nmsgstr \"Menu\"\n\nmsgid \"Стоп\"\nmsgstr \"\"\n");
  ASSERT_EQ(RunCommand("msgfmt -o '" + dir.File("t.mo") + "' '" + dir.File("t.po") + "'").Status, 0);
  TMessageCatalogue catalogue;
  std::string error;
  ASSERT_TRUE(LoadMoFile(dir.File("t.mo"), &catalogue, &error)) << error;
  EXPECT_EQ(catalogue, (TMessageCatalogue{{"Меню", "Menu"}}));  // no header, no empty entry
  for (const std::string& bad : {std::string(), std::string("not a catalogue"), ReadText(dir.File("t.mo")).substr(0, 40)}) {
    WriteText(dir.File("bad.mo"), bad);
    EXPECT_FALSE(LoadMoFile(dir.File("bad.mo"), &catalogue, &error));
    EXPECT_TRUE(catalogue.empty() && error.find("bad.mo") != std::string::npos) << error;
  }
}
