// Functions that an older Windows lacks are looked up at run time, and only here.
// The pointer type must be a WINAPI one: on 32-bit Windows a pointer of another
// calling convention calls the function wrongly and corrupts the stack, so such a
// lookup does not compile.
#pragma once
#include <windows.h>

template <typename Function> struct WinApiPointer;  // no definition: not a WINAPI function pointer
template <typename Result, typename... Args> struct WinApiPointer<Result(WINAPI*)(Args...)> {};

// The function `name` of the loaded module `module` ("USER32.dll"), or null where it has none.
template <typename Function> Function lookUpFunction(const char* module, const char* name)
{
    static_assert(sizeof(WinApiPointer<Function>) != 0, "a function looked up must be declared WINAPI");
    HMODULE loaded = GetModuleHandleA(module);
    FARPROC found = loaded ? GetProcAddress(loaded, name) : nullptr;
    // Through the generic function pointer type, which converts to any other.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// The same from a system library that the program does not import ("powrprof.dll"): loaded
// from the system folder only, never from the program's folder, and kept loaded.
template <typename Function> Function lookUpSystemFunction(const char* library, const char* name)
{
    if (GetModuleHandleA(library) == nullptr) {
        char path[MAX_PATH];
        UINT length = GetSystemDirectoryA(path, MAX_PATH);
        if (length == 0 || length + lstrlenA(library) + 2 > MAX_PATH)
            return nullptr;
        path[length] = '\\';
        lstrcpyA(path + length + 1, library);
        if (LoadLibraryA(path) == nullptr)
            return nullptr;
    }
    return lookUpFunction<Function>(library, name);
}

#pragma GCC poison GetProcAddress
