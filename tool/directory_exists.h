#ifndef VESTRILL_TOOL_DIRECTORY_EXISTS_H
#define VESTRILL_TOOL_DIRECTORY_EXISTS_H

// 1 when path names an existing directory, else 0. A hidden directory counts only when
// include_hidden is not 0. A bare drive designator ("C:") is turned into its root ("C:\") in
// place, so path needs room for at least 4 bytes.
int DirectoryExists(int include_hidden, char* path);

#endif
