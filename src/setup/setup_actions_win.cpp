// PelkSetup.dll: the custom actions of the Windows Installer package (packaging/pelk.wxs),
// built at the package's width. What Windows Installer's tables cannot say is done
// here: whether a Pelk ran before it was ended (to start it again), a Pelk of the NSIS
// installer in either registry view (its version, and its removal once the package is
// in), and the installing user's start-with-Windows value at an uninstall.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <initializer_list>

#include "app/look_up.h"

#define SETUP_ACTION extern "C" __declspec(dllexport) UINT __stdcall

namespace {

const char nsisKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelk";
const char runKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const DWORD pathSize = MAX_PATH + 2;

struct Path {
    char text[pathSize] = "";
};

Path property(MSIHANDLE install, const char* name)
{
    Path value;
    DWORD size = pathSize;
    if (MsiGetPropertyA(install, name, value.text, &size) != ERROR_SUCCESS)
        value.text[0] = '\0';
    return value;
}

bool exists(const char* path) { return path[0] && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// `folder` (ending in a backslash, as Windows Installer's folders do) and `name`.
Path inFolder(const char* folder, const char* name)
{
    Path path;
    if (lstrlenA(folder) + lstrlenA(name) < MAX_PATH) {
        lstrcpyA(path.text, folder);
        int length = lstrlenA(path.text);
        if (length > 0 && path.text[length - 1] != '\\')
            lstrcatA(path.text, "\\");
        lstrcatA(path.text, name);
    }
    return path;
}

// The registry views that hold an installer's keys: the 32-bit one everywhere, the
// 64-bit one on 64-bit Windows only (Windows 2000 knows no view flags at all).
REGSAM viewFlag(bool view64, bool windows64)
{
    if (!windows64)
        return 0;
    return view64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

// "1.4" or "1.4.2": the major and minor numbers.
void readVersion(const char* text, DWORD& major, DWORD& minor)
{
    major = minor = 0;
    const char* p = text;
    for (; *p >= '0' && *p <= '9'; ++p)
        major = major * 10 + (*p - '0');
    if (*p == '.')
        for (++p; *p >= '0' && *p <= '9'; ++p)
            minor = minor * 10 + (*p - '0');
}

void setNumber(MSIHANDLE install, const char* name, DWORD number)
{
    char text[12];
    wsprintfA(text, "%lu", number);
    MsiSetPropertyA(install, name, text);
}

// Deletes a file now, or when Windows restarts where something holds it.
void removeFile(const char* path)
{
    if (exists(path) && !DeleteFileA(path))
        MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

using DeleteKeyInView = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);

// The NSIS installer's entry in one view, its program's folder and its files, but none
// of the files that the package has just put in its own folder.
void removeNsisPelk(const char* folder, bool view64, bool windows64, const char* installFolder)
{
    HKEY uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                      KEY_ALL_ACCESS | viewFlag(view64, windows64), &uninstall) == ERROR_SUCCESS) {
        auto deleteInView = lookUpFunction<DeleteKeyInView>("ADVAPI32.dll", "RegDeleteKeyExA");
        if (windows64 && deleteInView)
            deleteInView(uninstall, "Pelk", viewFlag(view64, windows64), 0);
        else
            RegDeleteKeyA(uninstall, "Pelk");
        RegCloseKey(uninstall);
    }
    for (const char* name : {"Uninstall.exe", "Pelk.exe.new"})
        removeFile(inFolder(folder, name).text);
    if (lstrcmpiA(inFolder(folder, "").text, inFolder(installFolder, "").text) == 0)
        return;
    for (const char* name : {"Pelk.exe", "ReadMe.htm", "DefSet.txt", "Pelk in the tray.lnk"})
        removeFile(inFolder(folder, name).text);
    if (!RemoveDirectoryA(folder))
        MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// The next field of "a|b|c" into `field`; the rest stays in `data`.
const char* nextField(const char* data, Path& field)
{
    int length = 0;
    while (data[length] && data[length] != '|')
        ++length;
    lstrcpynA(field.text, data, length < MAX_PATH ? length + 1 : MAX_PATH);
    return data[length] ? data + length + 1 : data + length;
}

}  // namespace

// Immediate, in both sequences before LaunchConditions: a Pelk that the NSIS installer
// put on this computer, in the 32-bit view (NSISPELK32, its folder) and the 64-bit one
// (NSISPELK64), and the highest version of them as numbers (NSISMAJOR, NSISMINOR), which
// the launch condition compares as numbers. That installer records VersionMajor and
// VersionMinor; those of earlier releases only DisplayVersion.
SETUP_ACTION FindNsisPelk(MSIHANDLE install)
{
    const bool windows64 = property(install, "VersionNT64").text[0] != '\0';
    DWORD highestMajor = 0, highestMinor = 0;
    bool found = false;
    for (bool view64 : {false, true}) {
        if (view64 && !windows64)
            continue;
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, nsisKey, 0, KEY_READ | viewFlag(view64, windows64), &key) != ERROR_SUCCESS)
            continue;
        Path folder, version;
        DWORD size = MAX_PATH, major = 0, minor = 0;
        RegQueryValueExA(key, "InstallLocation", nullptr, nullptr, reinterpret_cast<BYTE*>(folder.text), &size);
        size = MAX_PATH;
        RegQueryValueExA(key, "DisplayVersion", nullptr, nullptr, reinterpret_cast<BYTE*>(version.text), &size);
        readVersion(version.text, major, minor);
        size = sizeof major;
        RegQueryValueExA(key, "VersionMajor", nullptr, nullptr, reinterpret_cast<BYTE*>(&major), &size);
        size = sizeof minor;
        RegQueryValueExA(key, "VersionMinor", nullptr, nullptr, reinterpret_cast<BYTE*>(&minor), &size);
        RegCloseKey(key);
        if (!exists(folder.text))
            continue;
        MsiSetPropertyA(install, view64 ? "NSISPELK64" : "NSISPELK32", inFolder(folder.text, "").text);
        if (!found || major > highestMajor || (major == highestMajor && minor > highestMinor)) {
            highestMajor = major;
            highestMinor = minor;
        }
        found = true;
    }
    if (found) {
        setNumber(install, "NSISMAJOR", highestMajor);
        setNumber(install, "NSISMINOR", highestMinor);
    }
    return ERROR_SUCCESS;
}

// Immediate, as the installing user, before InstallValidate (where Restart Manager looks
// for the programs that hold files) and before an older package goes: the Pelk that runs
// in this user's session is asked to save and end through "Pelk.exe /exit" of the Pelk
// installed (the package's, or the NSIS installer's), which ends with 0 when it ended one.
// PELKRAN then tells the end of the install to start it again. Pelks of other sessions
// are Restart Manager's to close and start again.
SETUP_ACTION EndRunningPelk(MSIHANDLE install)
{
    Path program = inFolder(property(install, "INSTALLFOLDER").text, "Pelk.exe");
    for (const char* folder : {"NSISPELK32", "NSISPELK64"}) {
        if (!exists(program.text))
            program = inFolder(property(install, folder).text, "Pelk.exe");
    }
    // No window of it here: none to end (nor a false "ended" from a Pelk of an earlier release, whose /exit says 0 either way).
    if (!exists(program.text) || FindWindowA("PELKDLG", nullptr) == nullptr)
        return ERROR_SUCCESS;
    char line[pathSize + 8];
    wsprintfA(line, "\"%s\" /exit", program.text);
    STARTUPINFOA start = {sizeof start};
    PROCESS_INFORMATION child = {};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &child))
        return ERROR_SUCCESS;
    DWORD code = ERROR_TIMEOUT;
    if (WaitForSingleObject(child.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    if (code == 0)
        MsiSetPropertyA(install, "PELKRAN", "1");
    return ERROR_SUCCESS;
}

// Commit (or deferred at the end where rollback is disabled), with the system's rights:
// once the package is wholly in, what remains of a Pelk of the NSIS installer goes: its
// Add/Remove entry, its uninstaller, and its program where it lay in another folder.
// Nothing of it goes before, so an install that fails or is cancelled leaves it whole.
// CustomActionData: "<folder 32-bit view>|<folder 64-bit view>|<package's folder>|<VersionNT64>".
SETUP_ACTION TakeOverNsisPelk(MSIHANDLE install)
{
    char data[4 * pathSize] = "";
    DWORD size = sizeof data;
    MsiGetPropertyA(install, "CustomActionData", data, &size);
    Path folder32, folder64, installFolder, windows64;
    const char* rest = nextField(data, folder32);
    rest = nextField(rest, folder64);
    rest = nextField(rest, installFolder);
    nextField(rest, windows64);
    if (folder32.text[0])
        removeNsisPelk(folder32.text, false, windows64.text[0] != '\0', installFolder.text);
    if (folder64.text[0])
        removeNsisPelk(folder64.text, true, true, installFolder.text);
    return ERROR_SUCCESS;
}

// Immediate, as the uninstalling user, when the product goes (not when a newer one
// replaces it): that user's Auto Start value goes when it starts this copy, as the NSIS
// uninstaller does; another user's stays, and starts nothing.
SETUP_ACTION ForgetUserStart(MSIHANDLE install)
{
    Path program = inFolder(property(install, "INSTALLFOLDER").text, "Pelk.exe");
    char quoted[pathSize + 8], plain[pathSize + 8];
    wsprintfA(quoted, "\"%s\" /q", program.text);
    wsprintfA(plain, "%s /q", program.text);
    HKEY user, run;
    if (RegOpenCurrentUser(KEY_ALL_ACCESS, &user) != ERROR_SUCCESS)
        return ERROR_SUCCESS;
    if (RegOpenKeyExA(user, runKey, 0, KEY_ALL_ACCESS, &run) == ERROR_SUCCESS) {
        char value[pathSize + 8] = "";
        DWORD size = sizeof value - 1, type = 0;
        if (RegQueryValueExA(run, "Pelk.exe", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
            (lstrcmpiA(value, quoted) == 0 || lstrcmpiA(value, plain) == 0))
            RegDeleteValueA(run, "Pelk.exe");
        RegCloseKey(run);
    }
    RegCloseKey(user);
    return ERROR_SUCCESS;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
