#include "tool/entry.h"

#ifndef _WIN32
#include <csignal>
#endif

#ifdef _WIN32
// Arguments reach the tool as typed: a `*` in a path is the search's business, not the
// runtime's to expand.
extern "C" {
int _dowildcard = 0;
}
#endif

int main(int argc, char** argv) {
#ifndef _WIN32
  // Writing the usage text into a closed pipe must not kill the tool: it exits 0 on every road.
  if (argc < 2) std::signal(SIGPIPE, SIG_IGN);
#endif
  return RunVestrill(argc, argv);
}
