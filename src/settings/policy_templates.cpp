// The Group Policy templates (Pelk.admx and en-US\Pelk.adml) written from the table
// of policy values that the program reads, so that the two cannot differ.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "settings/policy_rules.h"

namespace {

struct Choice {
    uint32_t value;
    const char* text;
};

const Choice actionChoices[] = {{0, "Power Off"}, {1, "Restart"}, {2, "Shutdown"}, {3, "Log Off"},
                                {4, "Suspend"},   {5, "Hibernate"}, {0, nullptr}};
const Choice dayChoices[] = {{127, "Every day"}, {62, "Monday to Friday"}, {65, "Saturday and Sunday"}, {0, nullptr}};
const Choice promptChoices[] = {{1, "Confirm"}, {2, "Warn"}, {0, nullptr}};

struct Group {
    const char* name;
    const char* displayName;
    const char* explain;
    int ownValue;  // the value written 1 when the policy is enabled and 0 when disabled; -1: none
};

const Group groups[] = {
    {"IdleShutdown", "Act when the computer is idle",
     "Enabled: Pelk performs the action after the computer has been idle for the minutes given, as on its Idle "
     "page, and the Idle and Watch pages show these values greyed. Disabled: Pelk never acts on idleness. Not "
     "configured: the user's own settings of the Idle and Watch pages apply.",
     policyIdleShutdown},
    {"ClockSchedule", "Act at a time of day",
     "Enabled: Pelk performs the action at the time given, on the days chosen (every day when none are given), "
     "after the prompt of its Tray page (set Warn or confirm before an action too, so that it always warns). The "
     "user can put the warning off, and No, Abort Shutdown and /slam /abort put it off too, but can neither "
     "change the time, which the Clock page shows greyed, nor skip it. It acts in the Pelk of each user who is "
     "logged on; a computer with nobody logged on is reached by a Task "
     "Scheduler task of the system account that runs Pelk.exe /slam at the time (see Pelk's help, Computers "
     "with nobody logged on), which leaves the action to the user's Pelk while someone is logged on. "
     "Disabled: no time of day is set. Not configured: the user's own Clock page applies.",
     policyClockSchedule},
    {"Prompt", "Warn or confirm before an action",
     "Enabled: every action that Pelk performs on this computer, from its menu, a trigger or the command line, "
     "first asks (Confirm) or counts down (Warn). A warning lasts at least the seconds given, and so does the "
     "warning Windows shows on a computer that Pelk shuts down remotely; where the user set more seconds, the "
     "longer applies. The Tray and Command pages show the prompt and its seconds greyed. Not configured or "
     "disabled: the users choose.",
     -1},
    {"PutOff", "Minutes a warning can be put off",
     "Enabled: the put-off button of the prompt before an action that comes by itself (a countdown, a time of "
     "day, the idle shutdown, a program that ended, the low battery) adds these minutes. Not configured or "
     "disabled: the user's choice on the Clock page (10 minutes unless changed).",
     -1},
    {"NoRemoteActions", "Forbid remote actions",
     "Enabled: Pelk refuses to shut down or restart other computers, one or a list of them, from the command "
     "line or as the Command page's Remote Shut or Remote Restart; the command line ends with 1260. Not "
     "configured or disabled: remote actions are allowed.",
     policyNoRemote},
    {"NoForce", "Forbid forcing programs to close",
     "Enabled: Pelk never forces programs to close; the Force boxes of the options and of Schedule Shutdown are "
     "cleared and greyed, and /kill is refused (exit code 1260). Not configured or disabled: the user's choice.",
     policyNoForce},
    {"NoCommandLineActions", "Forbid actions from the command line",
     "Enabled: Pelk refuses /slam from the command line (scripts, scheduled tasks, shortcuts) with exit code "
     "1260; /slam /abort and /exit still work. Not configured or disabled: the command line acts.",
     policyNoCommandLine},
    {"HideOptionPages", "Hide pages of the options",
     "Enabled: the pages checked are left out of Pelk's options. Not configured or disabled: every page shows.",
     -1},
    {"AutoStart", "Start Pelk with Windows",
     "Enabled: Pelk starts when the user logs on, also for a user who has never run it, through the start "
     "with Windows that Pelk's installers write for every user (a copy from the zip starts so once the user has "
     "run it). Disabled: it does not. Not configured: the Misc page's Auto Start box, the user's choice.",
     policyAutoStart},
    {"NoEventLog", "Write no entries to the Windows event log",
     "Enabled: Pelk writes nothing to the Application log of Windows; its own log, when the user keeps one, "
     "goes on. Not configured or disabled: each action performed, refused or failed, each command line "
     "refused, each action that came by itself and was missed, put off, cancelled or aborted, the policy values "
     "in effect, and each computer of a remote action with the tally of a list is written to the Application log "
     "under the source Pelk, whether or not the user keeps a log.",
     policyNoEventLog},
};
const int groupCount = sizeof groups / sizeof groups[0];

struct Element {
    const char* label;
    const Choice* choices;
    uint32_t shown;  // the value the editor shows first
};

const Element elements[policyValueCount] = {
    {nullptr, nullptr, 0},
    {"Minutes idle:", nullptr, 30},
    {"Action:", actionChoices, 0},
    {"...while processor use stays below (percent, 0: not used):", nullptr, 0},
    {"...and network traffic below (KB/s, 0: not used):", nullptr, 0},
    {"Count idle minutes while a program keeps the display or the system on", nullptr, 0},
    {nullptr, nullptr, 0},
    {"Hour (0-23):", nullptr, 22},
    {"Minute (0-59):", nullptr, 0},
    {"Days:", dayChoices, 1},
    {"Action:", actionChoices, 0},
    {"Prompt:", promptChoices, 1},
    {"At least this many seconds of warning:", nullptr, 30},
    {"Minutes:", nullptr, 10},
    {nullptr, nullptr, 0},
    {nullptr, nullptr, 0},
    {nullptr, nullptr, 0},
    {"The Tray page", nullptr, 0},
    {"The Command page", nullptr, 0},
    {"The Idle page", nullptr, 0},
    {"The Battery page", nullptr, 0},
    {"The Misc page", nullptr, 0},
    {"The Watch page", nullptr, 0},
    {"The Clock page", nullptr, 0},
    {nullptr, nullptr, 0},
    {nullptr, nullptr, 0},
};

// Appends to a bounded, always terminated text.
struct Out {
    char* text;
    size_t size;
    size_t length;
    void add(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        if (length + 1 >= size)
            return;
        va_list arguments;
        va_start(arguments, format);
        int n = std::vsnprintf(text + length, size - length, format, arguments);
        va_end(arguments);
        length = n < 0 ? length : length + static_cast<size_t>(n) < size ? length + n : size - 1;
    }
};

const char header[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";
const char schema[] = "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
                      "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" revision=\"1.0\" schemaVersion=\"1.0\" "
                      "xmlns=\"http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions\"";

void addValue(Out& o, const char* tag, uint32_t value) { o.add("<%s><decimal value=\"%u\" /></%s>", tag, value, tag); }

void addElement(Out& o, int id)
{
    const PolicyValueEntry& v = policyValues[id];
    if (v.kind == policyBoolean) {
        o.add("\r\n        <boolean id=\"%s\" valueName=\"%s\">", v.name, v.name);
        addValue(o, "trueValue", 1);
        addValue(o, "falseValue", 0);
        o.add("</boolean>");
    } else if (v.kind == policyDecimal) {
        o.add("\r\n        <decimal id=\"%s\" valueName=\"%s\" minValue=\"%u\" maxValue=\"%u\" required=\"true\" />",
              v.name, v.name, v.minValue, v.maxValue);
    } else {
        o.add("\r\n        <enum id=\"%s\" valueName=\"%s\" required=\"true\">", v.name, v.name);
        for (const Choice* c = elements[id].choices; c->text; ++c) {
            o.add("\r\n          <item displayName=\"$(string.%s_%u)\">", v.name, c->value);
            addValue(o, "value", c->value);
            o.add("</item>");
        }
        o.add("\r\n        </enum>");
    }
}

bool hasElements(int group)
{
    for (int id = 0; id < policyValueCount; ++id) {
        if (policyValues[id].group == group && id != groups[group].ownValue)
            return true;
    }
    return false;
}

} // namespace

void writePolicyAdmx(char* out, size_t size)
{
    Out o = {out, size, 0};
    if (size > 0)
        out[0] = '\0';
    o.add("%s<policyDefinitions %s>\r\n", header, schema);
    o.add("  <policyNamespaces>\r\n    <target prefix=\"pelk\" namespace=\"Orvenlit.Policies.Pelk\" />\r\n"
          "  </policyNamespaces>\r\n  <resources minRequiredRevision=\"1.0\" />\r\n");
    o.add("  <supportedOn>\r\n    <definitions>\r\n      <definition name=\"SUPPORTED_Pelk\" "
          "displayName=\"$(string.SUPPORTED_Pelk)\" />\r\n    </definitions>\r\n  </supportedOn>\r\n");
    o.add("  <categories>\r\n    <category name=\"Pelk\" displayName=\"$(string.Pelk)\" />\r\n  </categories>\r\n");
    o.add("  <policies>\r\n");
    for (int g = 0; g < groupCount; ++g) {
        const Group& group = groups[g];
        o.add("    <policy name=\"%s\" class=\"Both\" displayName=\"$(string.%s)\" explainText=\"$(string.%s_Help)\"",
              group.name, group.name, group.name);
        if (hasElements(g))
            o.add(" presentation=\"$(presentation.%s)\"", group.name);
        o.add(" key=\"%s\"", policyKey);
        if (group.ownValue >= 0)
            o.add(" valueName=\"%s\"", policyValues[group.ownValue].name);
        o.add(">\r\n      <parentCategory ref=\"Pelk\" />\r\n      <supportedOn ref=\"SUPPORTED_Pelk\" />\r\n");
        if (group.ownValue >= 0) {
            o.add("      ");
            addValue(o, "enabledValue", 1);
            o.add("\r\n      ");
            addValue(o, "disabledValue", 0);
            o.add("\r\n");
        }
        if (hasElements(g)) {
            o.add("      <elements>");
            for (int id = 0; id < policyValueCount; ++id) {
                if (policyValues[id].group == g && id != group.ownValue)
                    addElement(o, id);
            }
            o.add("\r\n      </elements>\r\n");
        }
        o.add("    </policy>\r\n");
    }
    o.add("  </policies>\r\n</policyDefinitions>\r\n");
}

void writePolicyAdml(char* out, size_t size)
{
    Out o = {out, size, 0};
    if (size > 0)
        out[0] = '\0';
    o.add("%s<policyDefinitionResources %s>\r\n  <displayName>Pelk</displayName>\r\n"
          "  <description>Settings of Pelk, set by an administrator</description>\r\n  <resources>\r\n"
          "    <stringTable>\r\n", header, schema);
    o.add("      <string id=\"Pelk\">Pelk</string>\r\n"
          "      <string id=\"SUPPORTED_Pelk\">Pelk 1.4 and later</string>\r\n");
    for (int g = 0; g < groupCount; ++g) {
        o.add("      <string id=\"%s\">%s</string>\r\n", groups[g].name, groups[g].displayName);
        o.add("      <string id=\"%s_Help\">%s</string>\r\n", groups[g].name, groups[g].explain);
    }
    for (int id = 0; id < policyValueCount; ++id) {
        for (const Choice* c = elements[id].choices; c && c->text; ++c)
            o.add("      <string id=\"%s_%u\">%s</string>\r\n", policyValues[id].name, c->value, c->text);
    }
    o.add("    </stringTable>\r\n    <presentationTable>\r\n");
    for (int g = 0; g < groupCount; ++g) {
        if (!hasElements(g))
            continue;
        o.add("      <presentation id=\"%s\">\r\n", groups[g].name);
        for (int id = 0; id < policyValueCount; ++id) {
            const PolicyValueEntry& v = policyValues[id];
            const Element& e = elements[id];
            if (v.group != g || id == groups[g].ownValue)
                continue;
            if (v.kind == policyBoolean)
                o.add("        <checkBox refId=\"%s\">%s</checkBox>\r\n", v.name, e.label);
            else if (v.kind == policyDecimal)
                o.add("        <decimalTextBox refId=\"%s\" defaultValue=\"%u\">%s</decimalTextBox>\r\n", v.name,
                      e.shown, e.label);
            else
                o.add("        <dropdownList refId=\"%s\" noSort=\"true\" defaultItem=\"%u\">%s</dropdownList>\r\n",
                      v.name, e.shown, e.label);
        }
        o.add("      </presentation>\r\n");
    }
    o.add("    </presentationTable>\r\n  </resources>\r\n</policyDefinitionResources>\r\n");
}
