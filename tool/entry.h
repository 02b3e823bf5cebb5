#ifndef VESTRILL_TOOL_ENTRY_H
#define VESTRILL_TOOL_ENTRY_H

// The whole tool: prints the usage text when argv holds no path, else makes sure that argv[1]
// names a directory. Always returns 0, the exit status.
int RunVestrill(int argc, char** argv);

#endif
