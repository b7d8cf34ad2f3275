// Writes the message compiler's source for Pelk.exe's message table, from the table of
// entries: system_events <file.mc> [<rows>]. The build compiles it with windmc into
// PelkEvents.bin, which pelk.rc takes as MESSAGETABLE 1, so that the Event Viewer finds
// each entry's text in the installed Pelk.exe (EventMessageFile). The rows are the first
// cells of the help's list of entries, one a line, as the help must hold them.
#include <cstdio>

#include "settings/system_events.h"

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3)
        return 2;
    std::FILE* file = std::fopen(argv[1], "wb");
    std::FILE* rows = argc == 3 ? std::fopen(argv[2], "wb") : nullptr;
    if (file == nullptr || (argc == 3 && rows == nullptr))
        return 1;
    // Severity Success and a facility of 0 keep each message's number the entry's ID: the
    // type of an entry is ReportEvent's, not the message's. Lines end in CR LF, which each
    // message's text then ends in, as Windows' own do.
    std::fputs("; Made by the build from src/settings/system_events.cpp.\r\n"
               "MessageIdTypedef=DWORD\r\nFacilityNames=(Pelk=0x0)\r\nLanguageNames=(English=0x409:PelkEvents)\r\n",
               file);
    for (size_t i = 0; i < systemEventCount; ++i) {
        const SystemEvent& e = systemEvents[i];
        std::fprintf(file, "\r\nMessageId=%u\r\nSeverity=Success\r\nFacility=Pelk\r\nLanguage=English\r\n%s\r\n.\r\n",
                     static_cast<unsigned>(e.id), e.text);
        if (rows != nullptr)
            std::fprintf(rows, "<tr><td>%u</td><td>%s</td><td>%s</td>\n", static_cast<unsigned>(e.id),
                         e.type == entryError ? "Error" : e.type == entryWarning ? "Warning" : "Information", e.name);
    }
    return std::fclose(file) == 0 && (rows == nullptr || std::fclose(rows) == 0) ? 0 : 1;
}
