// The agenda's door to Windows: the time on three clocks, the readings it asks for, and
// what it decides carried out: one timer at its next moment (none while nothing is armed),
// the prompt posted and its answer handed back, the action performed on the road of
// every trigger.
#include "app/globals.h"
#include "battery/battery_rules.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "settings/policy.h"
#include "settings/settings_file.h"
#include "tray/tray.h"
#include "triggers/triggers.h"
#include "triggers/watch.h"

Agenda agenda;

// The tick count without its wrap after 49.7 days; a count that goes back is not a wrap.
static uint64_t tick64;
static DWORD lastTick;
static bool tickRead;
// Where Windows has no count of the time awake: the time asleep, from the broadcasts.
static uint64_t slept;
static uint64_t suspendedAt;
static bool suspended;

static uint64_t timerAt;  // the agenda's timer, 0 while none is set

// The prompt asked: posted, then showing; withdrawn before it could show.
static bool askPosted;
static bool askWithdrawn;
static bool askShowing;
static AgendaOut asked;

static uint64_t readTick()
{
    const DWORD now = osGetTickCount();
    if (!tickRead)
        tick64 = now;
    else if (now - lastTick < 0x80000000u)
        tick64 += now - lastTick;
    tickRead = true;
    lastTick = now;
    return tick64;
}

AgendaTime agendaNow()
{
    AgendaTime now;
    now.tick = readTick();
    if (!osAwakeMs(&now.awake))
        now.awake = now.tick - slept;
    osGetLocalTime(&now.local);
    FILETIME utc;
    osGetSystemTimeAsFileTime(&utc);
    now.utc = static_cast<int64_t>((static_cast<uint64_t>(utc.dwHighDateTime) << 32 | utc.dwLowDateTime) / 10000);
    return now;
}

static void setAgendaTimer(uint64_t next, uint64_t now)
{
    if (next == timerAt)
        return;
    timerAt = next;
    if (next == 0) {
        osKillTimer(mainWindow, agendaTimer);
        return;
    }
    const uint64_t wait = next > now ? next - now : 1;
    osSetTimer(mainWindow, agendaTimer, static_cast<UINT>(wait < 0x7FFFFFFFu ? wait : 0x7FFFFFFFu));
}

// Performed with the wake-up armed just before it; one Windows refused leaves none, which
// would wake the user's own sleep later.
static void perform(const AgendaOut& out)
{
    if (out.wake)
        armWakeTimer(out.wakeMinutes);
    if (performAction(out.action, settings.logEvents, nullptr) != 0)
        cancelWakeTimer();
}

static void apply(const AgendaOut& out, uint64_t now)
{
    for (size_t i = 0; i < out.logCount; ++i) {
        if (settings.logEvents != 0)
            appendLogLine(out.log[i]);
        reportSystemEvent(out.logEntry[i], out.log[i]);
    }
    if (out.save)
        saveSettings();
    if (out.withdraw && askShowing)
        withdrawTriggerPrompt();
    else if (out.withdraw && askPosted)
        askWithdrawn = true;
    if (out.cancelWake)
        cancelWakeTimer();
    setAgendaTimer(out.next, now);
    if (out.balloon[0] != '\0')
        showTrayNotice(out.balloon, 0);
    if (out.perform)
        perform(out);
    if (out.ask) {
        asked = out;
        askPosted = true;
        askWithdrawn = false;
        PostMessageA(mainWindow, agendaAskMessage, 0, 0);
    }
}

static bool deliver(AgendaEvent& e)
{
    e.now = agendaNow();
    // The agenda's own prompt does not keep it from asking the next one after it.
    e.blocked = optionsOpen != 0 || openPromptCount() > (askShowing ? 1 : 0);
    e.clockLocked = policySets(policy, policyClockSchedule);
    const AgendaWants wants = agendaWants(agenda, settings, e.now.tick);
    e.idleRead = wants.idle;
    e.idleMs = wants.idle ? readIdleMs() : 0;
    e.programRead = wants.program;
    e.programRuns = wants.program && programRuns(settings.watchProgram);
    AgendaOut out;
    agendaEvent(agenda, settings, e, out);
    apply(out, e.now.tick);
    return out.aborted;
}

// A reading as the agenda takes it: without a battery or its level, no low battery stands.
static void putReading(AgendaEvent& e, const PowerReading& r)
{
    const int32_t percent = batteryLevel(r);
    const bool known = hasBattery(r) && percent >= 0 && percent <= 100;
    e.batteryRead = true;
    e.onBattery = known && r.acLine != 1;
    e.percent = known ? static_cast<uint32_t>(percent) : 100;
}

// What the answer is to stand on is read again now: the power source and the level.
static void readBattery(AgendaEvent& e)
{
    SYSTEM_POWER_STATUS status;
    if (osGetSystemPowerStatus(&status))
        putReading(e, {status.ACLineStatus, status.BatteryFlag, status.BatteryLifePercent});
}

bool agendaDeliver(AgendaEventKind kind, uint8_t action, uint32_t minutes, int32_t answer)
{
    AgendaEvent e = {};
    e.kind = kind;
    e.action = action;
    e.minutes = minutes;
    e.answer = answer;
    if (kind == eventAnswer)
        readBattery(e);
    return deliver(e);
}

void agendaBattery(const PowerReading& reading, bool lowCrossed)
{
    AgendaEvent e = {};
    e.kind = eventBattery;
    putReading(e, reading);
    e.lowCrossed = lowCrossed;
    // A reading like the one before tells the agenda nothing new.
    static bool told;
    static bool toldOnBattery;
    static uint32_t toldPercent;
    if (told && !lowCrossed && e.onBattery == toldOnBattery && e.percent == toldPercent)
        return;
    told = true;
    toldOnBattery = e.onBattery;
    toldPercent = e.percent;
    deliver(e);
}

void agendaPowerEvent(WPARAM event)
{
    if (event == PBT_APMSUSPEND) {
        suspendedAt = readTick();
        suspended = true;
        agendaDeliver(eventSuspend);
        return;
    }
    if (event != PBT_APMRESUMESUSPEND && event != PBT_APMRESUMEAUTOMATIC && event != PBT_APMQUERYSUSPENDFAILED)
        return;
    if (suspended)
        slept += readTick() - suspendedAt;
    suspended = false;
    agendaDeliver(eventResume);
}

// The only modal loop a trigger opens; the answer goes back to the agenda, which may ask
// what waited behind it.
void onAgendaAsk()
{
    if (!askPosted)
        return;
    askPosted = false;
    if (askWithdrawn) {
        agendaDeliver(eventAnswer, 0, 0, answerNo);
        return;
    }
    askShowing = true;
    const LONG answer = confirmTriggerAction(mainWindow, asked.askAction, policyLeastWarning(policy, asked.askWarnSeconds),
                                              asked.askPutOffMinutes);
    askShowing = false;
    agendaDeliver(eventAnswer, 0, 0, answer);
}
