// Files and folders opened with the shell's default verb.
#include "app/shell.h"

#include <windows.h>
#include <shellapi.h>

#include "app/globals.h"
#include "app/text.h"

void openInShell(const char* path)
{
    ShellExecuteA(nullptr, nullptr, path, nullptr, nullptr, SW_SHOWNORMAL);
}

void openReadMe()
{
    char path[textSize];
    copyText(path, textSize, programDir);
    appendText(path, textSize, "ReadMe.htm");
    openInShell(path);
}
