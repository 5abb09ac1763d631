#include "terminal.h"

#include <windows.h>

#include <cstdio>

void attachToTerminal()
{
    // Redirected output already has its handle.
    if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN)
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    std::FILE *ignored = nullptr;
    freopen_s(&ignored, "CONOUT$", "w", stdout);
    freopen_s(&ignored, "CONOUT$", "w", stderr);
    // The texts are written in UTF-8, whatever the console's code page (866 in Russian Windows).
    SetConsoleOutputCP(CP_UTF8);
}
