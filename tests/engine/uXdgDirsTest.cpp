#include "engine/uXdgDirs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Sets (or unsets) an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : Name(name) {
    if (const char* old = std::getenv(name)) Old = old;
    value ? setenv(name, value->c_str(), 1) : unsetenv(name);
  }
  ~ScopedEnv() { Old ? setenv(Name, Old->c_str(), 1) : unsetenv(Name); }

 private:
  const char* Name;
  std::optional<std::string> Old;
};

struct Case {
  std::optional<std::string> home, dataHome, stateHome;
  std::string data, state;
};

class XdgDirs : public ::testing::TestWithParam<Case> {};

TEST_P(XdgDirs, FollowTheVariablesThenTheHomeFolder) {
  const Case& c = GetParam();
  ScopedEnv home("HOME", c.home), data("XDG_DATA_HOME", c.dataHome), state("XDG_STATE_HOME", c.stateHome);
  EXPECT_EQ(XdgDataHome().string(), c.data);
  EXPECT_EQ(XdgStateHome().string(), c.state);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XdgDirs,
    ::testing::Values(
        Case{"/home/p", std::nullopt, std::nullopt, "/home/p/.local/share", "/home/p/.local/state"},
        Case{"/home/p", "/d", "/s", "/d", "/s"},
        // A relative path in a variable is ignored, as the convention says.
        Case{"/home/p", "rel/d", "", "/home/p/.local/share", "/home/p/.local/state"},
        Case{std::nullopt, std::nullopt, "/s", "", "/s"},
        Case{"", std::nullopt, std::nullopt, "", ""}));

}  // namespace
