// t905_linecopy FROM TO: the line copy as a process of its own, linked as
// t905cli is, so that the two can be timed as the host starts them.
#include <cstdio>

#include "bench/line_copy.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: t905_linecopy FROM TO\n", stderr);
    return 2;
  }
  if (!CopyLines(argv[1], argv[2])) {
    std::fprintf(stderr, "t905_linecopy: cannot copy '%s' to '%s'\n", argv[1], argv[2]);
    return 1;
  }
  return 0;
}
