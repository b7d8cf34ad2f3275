// Opening a file or folder with the program the shell associates with it.
#pragma once

void openInShell(const char* path);
// The help, "ReadMe.htm" beside the program.
void openReadMe();
