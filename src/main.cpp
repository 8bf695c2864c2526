#include <string>
#include <vector>

#include "app/uProgram.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return KelvodMain(args, argc > 0 ? argv[0] : "kelvod");
}
