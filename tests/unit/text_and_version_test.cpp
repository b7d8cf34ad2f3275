// Bounded text helpers, path stripping and the Windows version naming table.
#include <gtest/gtest.h>

#include <cstring>

#include "app/text.h"
#include "app/windows_version.h"

namespace {

TEST(Text, StripFileName)
{
    struct Case { const char* path; const char* expected; };
    const Case cases[] = {{"D:\\Tools\\Pelk.exe", "D:\\Tools\\"},
                          {"Pelk.exe", "Pelk.exe"},
                          {"", ""},
                          {"C:\\", "C:\\"},
                          {"\\\\server\\share\\Pelk.exe", "\\\\server\\share\\"}};
    for (const Case& c : cases) {
        char path[64];
        std::strcpy(path, c.path);
        stripFileName(path);
        EXPECT_STREQ(c.expected, path);
    }
}

TEST(Text, CopyAndAppendAreBounded)
{
    char small[8];
    copyText(small, sizeof small, "0123456789");
    EXPECT_STREQ("0123456", small);
    copyText(small, sizeof small, "ab");
    appendText(small, sizeof small, "cdefghij");
    EXPECT_STREQ("abcdefg", small);
    appendNumber(small, sizeof small, 5);
    EXPECT_STREQ("abcdefg", small);

    char number[16] = "";
    appendNumber(number, sizeof number, 0);
    appendText(number, sizeof number, " ");
    appendNumber(number, sizeof number, 4294967295u);
    EXPECT_STREQ("0 4294967295", number);
}

VersionRecord record(uint32_t platform, uint32_t major, uint32_t minor, uint32_t build = 0)
{
    VersionRecord v{};
    v.platformId = platform;
    v.major = major;
    v.minor = minor;
    v.build = build;
    return v;
}

TEST(WindowsVersion, NamingTable)
{
    struct Case { const char* name; VersionRecord v; const char* text; uint32_t code; bool accepted; };
    VersionRecord tablet = record(2, 5, 1);
    tablet.tabletPc = tablet.mediaCenter = true;
    VersionRecord media = record(2, 5, 1);
    media.mediaCenter = true;
    const Case cases[] = {
        {"Windows 98", record(1, 4, 10), "Unknown OS", 0, false},
        {"NT 4.0", record(2, 4, 0), "Unknown OS", 0, false},
        {"2000", record(2, 5, 0), "Windows 2000", 16, true},
        {"XP", record(2, 5, 1), "Windows XP", 19, true},
        {"XP tablet asked first", tablet, "Windows XP Tablet PC Edition", 22, true},
        {"XP media center", media, "Windows XP Media Center Edition", 21, true},
        {"2003", record(2, 5, 2), "Windows Server 2003 family", 23, true},
        {"5.3", record(2, 5, 3), "Unknown Window 2000", 0, false},
        {"Vista", record(2, 6, 0), "Windows Vista", 24, true},
        {"7", record(2, 6, 1), "Windows 7", 25, true},
        {"8", record(2, 6, 2), "Windows 8", 26, true},
        {"8.1", record(2, 6, 3), "Windows 8.1", 27, true},
        {"6.4", record(2, 6, 4), "Windows Vista", 24, true},
        {"7.0 reported", record(2, 7, 0), "Unknown OS", 0, false},
        {"10", record(2, 10, 0, 19045), "Windows 10", 28, true},
        {"11", record(2, 10, 0, 22000), "Windows 11", 29, true},
        {"future NT", record(2, 12, 1), "Windows NT 12.1", 30, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char text[600];
        uint32_t code = describeVersionRecord(c.v, text, sizeof text);
        EXPECT_STREQ(c.text, text);
        EXPECT_EQ(c.code, code);
        EXPECT_EQ(c.accepted, versionAccepted(code));
    }
}

TEST(WindowsVersion, EditionAndServicePack)
{
    struct Case { const char* name; bool extended; uint32_t type; uint32_t suite; const char* sp; const char* text; };
    const Case cases[] = {
        {"XP Pro SP2", true, 1, 0, "Service Pack 2", "Windows XP Professional, Service Pack 2"},
        {"XP Home", true, 1, 0x0200, "", "Windows XP Home Edition"},
        {"server", true, 3, 0, "", "Windows XP Server"},
        {"domain controller", true, 2, 0, "", "Windows XP Server"},
        {"no extended record", false, 1, 0, "Service Pack 1", "Windows XP, Service Pack 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VersionRecord v = record(2, 5, 1);
        v.extended = c.extended;
        v.productType = c.type;
        v.suiteMask = c.suite;
        std::strcpy(v.servicePack, c.sp);
        char text[600];
        EXPECT_EQ(19u, describeVersionRecord(v, text, sizeof text));
        EXPECT_STREQ(c.text, text);
    }
    VersionRecord w2000 = record(2, 5, 0);
    w2000.extended = true;
    w2000.productType = 3;
    char text[600];
    EXPECT_EQ(16u, describeVersionRecord(w2000, text, sizeof text));
    EXPECT_STREQ("Windows 2000 Server", text);
}

TEST(WindowsVersion, UnterminatedServicePackIsBounded)
{
    VersionRecord v = record(2, 5, 1);
    std::memset(v.servicePack, 'S', sizeof v.servicePack);
    char text[600];
    describeVersionRecord(v, text, sizeof text);
    EXPECT_EQ(std::strlen("Windows XP, ") + 127, std::strlen(text));
}

}  // namespace
