// Windows version naming table.
#include "app/windows_version.h"

#include "app/text.h"

static uint32_t nameOfNtVersion(const VersionRecord& v, const char** name)
{
    if (v.major == 5) {
        switch (v.minor) {
        case 0: *name = "Windows 2000"; return versionWindows2000;
        case 1:
            if (v.tabletPc) { *name = "Windows XP Tablet PC Edition"; return versionXpTablet; }
            if (v.mediaCenter) { *name = "Windows XP Media Center Edition"; return versionXpMediaCenter; }
            *name = "Windows XP";
            return versionXp;
        case 2: *name = "Windows Server 2003 family"; return versionServer2003;
        default: *name = "Unknown Windows 2000"; return versionUnknown;
        }
    }
    if (v.major == 6) {
        switch (v.minor) {
        case 1: *name = "Windows 7"; return versionWindows7;
        case 2: *name = "Windows 8"; return versionWindows8;
        case 3: *name = "Windows 8.1"; return versionWindows81;
        default: *name = "Windows Vista"; return versionVista;
        }
    }
    if (v.major == 10) {
        if (v.build >= 22000) { *name = "Windows 11"; return versionWindows11; }
        *name = "Windows 10";
        return versionWindows10;
    }
    if (v.major > 10) {
        *name = "Windows NT ";
        return versionNewerNt;
    }
    *name = "Unknown OS";
    return versionUnknown;
}

uint32_t describeVersionRecord(const VersionRecord& v, char* text, size_t size)
{
    const char* name = "Unknown OS";
    if (v.platformId != 2) {
        copyText(text, size, name);
        return versionUnknown;
    }
    uint32_t code = nameOfNtVersion(v, &name);
    copyText(text, size, name);
    if (code == versionNewerNt) {
        appendNumber(text, size, v.major);
        appendText(text, size, ".");
        appendNumber(text, size, v.minor);
    }
    if (v.extended) {
        if (v.productType == 1)
            appendText(text, size, (v.suiteMask & 0x0200) ? " Home Edition" : " Professional");
        else if (v.productType == 2 || v.productType == 3)
            appendText(text, size, " Server");
    }
    char servicePack[sizeof v.servicePack];
    copyText(servicePack, sizeof servicePack, v.servicePack);
    if (servicePack[0] != '\0') {
        appendText(text, size, ", ");
        appendText(text, size, servicePack);
    }
    return code;
}

bool versionAccepted(uint32_t code)
{
    return code == versionWindows2000 || code >= versionXp;
}
