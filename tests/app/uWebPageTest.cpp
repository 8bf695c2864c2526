#include "app/uWebPage.h"

#include <gtest/gtest.h>

#include <string>

#include "level/uMapFile.h"
#include "support/TestSupport.h"

namespace {

std::string Shipped() { return ReadText(std::string(KELVOD_SOURCE_DIR) + "/data/level/1001.map"); }

struct ImportCase {
  const char* name;
  std::string bytes;
  bool taken;
  std::string said;  // in the reason, or the skipped records when taken
};

class LevelImport : public ::testing::TestWithParam<ImportCase> {};

TEST_P(LevelImport, OnlyLevelsAreTakenAndTheReasonIsGiven) {
  const ImportCase& c = GetParam();
  testing::internal::CaptureStderr();
  const TLevelImport check = CheckImportedLevel(c.bytes, "x.map");
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(check.Taken, c.taken) << check.Reason;
  EXPECT_NE((c.taken ? check.Skipped : check.Reason).find(c.said), std::string::npos)
      << check.Reason << " / " << check.Skipped;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LevelImport,
    ::testing::Values(ImportCase{"Empty", "", false, "0"},
                      ImportCase{"Text", "hello\n", false, "6"},
                      ImportCase{"RecordsOfNothing", std::string(160, '\x5a'), false, "x.map"},
                      ImportCase{"ALevel", Shipped(), true, ""},
                      ImportCase{"ALevelWithABadRecord", Shipped() + std::string(kMapRecordSize, '\0'), true,
                                 std::to_string(Shipped().size() / kMapRecordSize + 1)},
                      ImportCase{"OverTheBudget", [] {
                                   std::string bytes;
                                   for (int i = 0; i < 500; ++i) bytes += Shipped().substr(0, kMapRecordSize);
                                   return bytes;
                                 }(), false, "500"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
