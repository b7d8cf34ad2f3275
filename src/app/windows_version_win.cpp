// The description of the running Windows, from the version the system reports
// about itself, for the start-up gate and the About box.
#include <windows.h>

#include "app/globals.h"
#include "app/look_up.h"
#include "app/text.h"
#include "app/windows_version.h"

static const int smTabletPc = 86;
static const int smMediaCenter = 87;

// The true version: RtlGetVersion is not subject to the compatibility shims
// that make GetVersionExA report an older system.
typedef LONG(WINAPI* RtlGetVersionProc)(OSVERSIONINFOEXW*);

static bool readTrueVersion(VersionRecord* v)
{
    RtlGetVersionProc rtlGetVersion = lookUpFunction<RtlGetVersionProc>("ntdll.dll", "RtlGetVersion");
    if (rtlGetVersion == nullptr)
        return false;
    OSVERSIONINFOEXW info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (rtlGetVersion(&info) != 0)
        return false;
    v->platformId = info.dwPlatformId;
    v->major = info.dwMajorVersion;
    v->minor = info.dwMinorVersion;
    v->build = info.dwBuildNumber;
    v->extended = true;
    v->productType = info.wProductType;
    v->suiteMask = info.wSuiteMask;
    WideCharToMultiByte(CP_ACP, 0, info.szCSDVersion, -1, v->servicePack, sizeof v->servicePack,
                        nullptr, nullptr);
    v->servicePack[sizeof v->servicePack - 1] = '\0';
    return true;
}

static void readReportedVersion(VersionRecord* v)
{
    OSVERSIONINFOEXA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    v->extended = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)) != FALSE;
    if (!v->extended) {
        ZeroMemory(&info, sizeof info);
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
    }
    v->platformId = info.dwPlatformId;
    v->major = info.dwMajorVersion;
    v->minor = info.dwMinorVersion;
    v->build = info.dwBuildNumber;
    v->productType = info.wProductType;
    v->suiteMask = info.wSuiteMask;
    copyText(v->servicePack, sizeof v->servicePack, info.szCSDVersion);
}

uint32_t describeWindowsVersion(char* text)
{
    VersionRecord v;
    ZeroMemory(&v, sizeof v);
    if (!readTrueVersion(&v))
        readReportedVersion(&v);
    if (v.platformId == VER_PLATFORM_WIN32_NT && v.major == 5 && v.minor == 1) {
        v.tabletPc = GetSystemMetrics(smTabletPc) != 0;
        v.mediaCenter = !v.tabletPc && GetSystemMetrics(smMediaCenter) != 0;
    }
    return describeVersionRecord(v, text, textSize);
}
