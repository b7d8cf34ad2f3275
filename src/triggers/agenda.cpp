// The agenda's rules. A moment is due at the first instant the clock that times it shows
// it: the tick count for a countdown or a put-off, the wall clock for a clock time (so a
// time in a daylight-saving gap is due at the end of the gap, and a time the clock shows
// twice, or shows again after it was set back, is due once). What comes due acts only
// while the computer is awake and Pelk runs, within two minutes: a moment that passed in
// a sleep, while Pelk was not running or while its check was held up, or one the time was
// set past, is missed, and said so in the log; it never acts late.
#include "triggers/agenda.h"

#include <initializer_list>

#include "app/text.h"
#include "battery/alert_rules.h"
#include "power/actions.h"
#include "settings/system_events.h"
#include "tray/tray_rules.h"
#include "triggers/idle_rules.h"
#include "triggers/schedule_rules.h"

namespace {

const uint64_t dueWindowMs = 120000;
// Two readings of one moment differ by less; more is a sleep, or a wall clock that moved.
const uint64_t sleepSlackMs = 2000;
const uint64_t jumpSlackMs = 5000;
const uint64_t watchPeriodMs = 5000;
const uint64_t idlePeriodMs = 60000;
const int64_t minutesPerDay = 1440;

int64_t floorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

uint32_t weekdayOf(int64_t day) { return static_cast<uint32_t>(((day % 7) + 13) % 7); }  // 1 January 2000: Saturday

int64_t dayOfDate(uint32_t yyyymmdd) { return dayNumber(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100); }

int64_t localMs(const WallTime& t)
{
    return ((dayNumber(t.year, t.month, t.day) * 24 + t.hour) * 3600 + t.minute * 60 + t.second) * 1000 + t.millisecond;
}

int64_t localMinute(const WallTime& t) { return floorDiv(localMs(t), 60000); }

// A clock time of the record: the Clock page's (repeated on `days`, or once on its day)
// or the one-off of "/time".
struct ClockSlot {
    bool set;
    uint32_t minute;  // of the day
    uint8_t action;
    uint8_t days;  // 0: once
    int64_t onceDay;
};

ClockSlot clockSlot(const Settings& s, AgendaKind kind)
{
    ClockSlot c = {};
    if (kind == kindClock && s.clockMinute != 0 && s.clockMinute <= minutesPerDay)
        c = {true, s.clockMinute - 1u, static_cast<uint8_t>(triggerAction(s.clockAction)),
             static_cast<uint8_t>(s.clockDays & 0x7F), dayOfDate(s.clockOnceDate)};
    const uint32_t once = s.onceMinute & 0xFFF;
    if (kind == kindOnce && once != 0 && once <= minutesPerDay)
        c = {true, once - 1u, static_cast<uint8_t>(triggerAction(s.onceMinute >> 12)), 0, s.onceDay};
    return c;
}

uint64_t slotSignature(const Settings& s, AgendaKind kind)
{
    return kind == kindClock ? uint64_t(s.clockOnceDate) << 24 | uint64_t(s.clockDays) << 16 | s.clockMinute
                             : uint64_t(s.onceDay) << 16 | s.onceMinute;
}

bool slotApplies(const ClockSlot& c, int64_t day) { return c.days == 0 ? day == c.onceDay : (c.days >> weekdayOf(day) & 1) != 0; }

// The latest day after `doneDay` whose clock time lies in (from, to] on the local clock's
// minute scale; -1 when none. A long sleep is looked back over for a week at most.
int64_t occurrenceIn(const ClockSlot& c, int64_t doneDay, int64_t from, int64_t to)
{
    const int64_t lastDay = floorDiv(to, minutesPerDay);
    const int64_t firstDay = floorDiv(from, minutesPerDay) > lastDay - 7 ? floorDiv(from, minutesPerDay) : lastDay - 7;
    for (int64_t day = lastDay; day >= firstDay; --day) {
        const int64_t at = day * minutesPerDay + c.minute;
        if (at > from && at <= to && day > doneDay && slotApplies(c, day))
            return day;
    }
    return -1;
}

// The day of the slot's next time after the minute `now`; -1 when there is none to come.
int64_t nextOccurrence(const ClockSlot& c, int64_t now)
{
    for (int64_t day = floorDiv(now, minutesPerDay), last = day + 8; day <= last; ++day) {
        if (day * minutesPerDay + c.minute > now && slotApplies(c, day))
            return day;
    }
    return -1;
}

bool isClockKind(AgendaKind kind) { return kind == kindClock || kind == kindOnce; }

// " tomorrow", " on Wed", or nothing for today.
void appendDay(char* out, size_t size, int64_t day, int64_t today, const char* on)
{
    static const char* const names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    if (day == today)
        appendText(out, size, " today");
    else if (day == today + 1)
        appendText(out, size, " tomorrow");
    else {
        appendText(out, size, on);
        appendText(out, size, names[weekdayOf(day)]);
    }
}

// "Power Off every day at 22:00, skipped today", "Power Off on weekdays at 8:00, next Mon",
// "Log Off tomorrow at 7:00". The next day of a repeat is told only of what lies ahead
// (ahead), not in the words of one that has come.
void describeSlot(const Settings& s, AgendaKind kind, int64_t nowMinute, char* out, size_t size, bool ahead = false)
{
    const ClockSlot c = clockSlot(s, kind);
    char time[16];
    formatClockTime(c.minute, time, sizeof time);
    const int64_t today = floorDiv(nowMinute, minutesPerDay), next = nextOccurrence(c, nowMinute);
    if (c.days != 0 && kind == kindClock) {
        clockTooltip(s, out, size);
        if (next >= 0 && next <= s.clockDoneDay) {
            appendText(out, size, ", skipped");
            appendDay(out, size, next, today, " ");
        } else if (ahead && next > today) {
            appendText(out, size, ", next");
            appendDay(out, size, next, today, " ");
        }
        return;
    }
    copyText(out, size, promptActionName(c.action));
    if (c.onceDay != today)
        appendDay(out, size, c.onceDay, today, " on ");
    appendText(out, size, " at ");
    appendText(out, size, time);
}

// Whether one of `lines` is `line`, or (prefix) begins with it.
bool listed(const char* line, const char lines[][agendaLineSize], size_t count, bool prefix)
{
    for (size_t i = 0; i < count; ++i) {
        size_t k = 0;
        while (line[k] != '\0' && line[k] == lines[i][k])
            ++k;
        if (line[k] == '\0' && (prefix || lines[i][k] == '\0'))
            return true;
    }
    return false;
}

// What came due or is armed, in the log's and the tooltip's words: "Log Off when render.exe
// ends", "Power Off every day at 22:00".
void describe(const Settings& s, const AgendaTime& now, AgendaKind kind, uint8_t action, char* out, size_t size)
{
    if (isClockKind(kind) && clockSlot(s, kind).set) {
        describeSlot(s, kind, localMinute(now.local), out, size);
        return;
    }
    static const char* const of[] = {" after the countdown", " at its time", " at its time", " after the idle time",
                                     " when ", " at low battery"};
    copyText(out, size, promptActionName(action));
    appendText(out, size, of[kind]);
    if (kind == kindWatch) {
        appendText(out, size, s.watchProgram);
        appendText(out, size, " ends");
    }
}

// One event under way: the agenda, the record, the event and what is to be done.
struct Run {
    Agenda& a;
    Settings& s;
    const AgendaEvent& e;
    AgendaOut& out;
};

void log(Run& r, uint16_t entry, const char* what, const char* how);
void logCall(Run& r, const AgendaCall& c, uint16_t entry, const char* how);
void end(Run& r, AgendaCall& c);
void drop(Run& r, AgendaCall& c, uint16_t entry, const char* how);
bool fresh(const Run& r, uint64_t due)
{
    return due >= r.a.awakeSince && due <= r.e.now.tick && r.e.now.tick - due <= dueWindowMs;
}
void add(Run& r, AgendaKind kind, uint8_t action, uint64_t due, bool repeat = false);
void addOrMiss(Run& r, AgendaKind kind, uint8_t action, uint64_t due, bool repeat = false);
bool pending(const Run& r, AgendaKind kind);
bool standing(const Run& r, const AgendaCall& c);
// Without input or activity, counted from an abort at the latest.
uint64_t idleMs(const Run& r)
{
    return r.e.idleMs < r.e.now.tick - r.a.idleFrom ? r.e.idleMs : r.e.now.tick - r.a.idleFrom;
}
void passTime(Run& r);
void missWhileAway(Run& r);
void spend(Run& r, AgendaKind kind, const ClockSlot& c, int64_t day);
void passClock(Run& r, AgendaKind kind, uint64_t dTick);
void onAnswer(Run& r);
void onAbort(Run& r);
void ask(Run& r);
void plan(Run& r);

// Made whether or not the user keeps a log: the Windows event log has every line.
void log(Run& r, uint16_t entry, const char* what, const char* how)
{
    if (r.out.logCount >= agendaLogMost)
        return;
    r.out.logEntry[r.out.logCount] = entry;
    copyText(r.out.log[r.out.logCount], agendaLogSize, what);
    appendText(r.out.log[r.out.logCount++], agendaLogSize, how);
}

void logCall(Run& r, const AgendaCall& c, uint16_t entry, const char* how)
{
    char what[agendaLineSize];
    describe(r.s, r.e.now, c.kind, c.action, what, sizeof what);
    if (c.minute != 0 && !clockSlot(r.s, c.kind).set) {  // a one-off that came due: its time
        char time[16];
        formatClockTime(c.minute - 1u, time, sizeof time);
        copyText(what, sizeof what, promptActionName(c.action));
        appendText(what, sizeof what, " at ");
        appendText(what, sizeof what, time);
    }
    log(r, entry, what, how);
}

// A call ends without its action; a prompt that shows goes with it.
void end(Run& r, AgendaCall& c)
{
    if (c.state == callAsking) {
        r.out.withdraw = true;
        c.state = callWithdrawn;
    } else if (c.state != callWithdrawn) {
        c.state = callFree;
    }
}

void drop(Run& r, AgendaCall& c, uint16_t entry, const char* how)
{
    logCall(r, c, entry, how);
    end(r, c);
}

const char missedText[] = " missed: the computer slept, or Pelk was not running";

void add(Run& r, AgendaKind kind, uint8_t action, uint64_t due, bool repeat)
{
    for (AgendaCall& c : r.a.calls) {
        if (c.state == callFree) {
            const ClockSlot slot = clockSlot(r.s, kind);
            c = {callWaiting, kind, action, repeat ? r.s.clockMinute : uint16_t(0), repeat ? r.s.clockDays : uint8_t(0),
                 uint16_t(isClockKind(kind) && slot.set ? slot.minute + 1 : 0), due, due};
            return;
        }
    }
    char what[agendaLineSize];
    describe(r.s, r.e.now, kind, action, what, sizeof what);
    log(r, entryMissedCrowded, what, " missed: too much was waiting");
}

// What came due acts only while fresh; else the log says it was missed.
void addOrMiss(Run& r, AgendaKind kind, uint8_t action, uint64_t due, bool repeat)
{
    char what[agendaLineSize];
    describe(r.s, r.e.now, kind, action, what, sizeof what);
    if (fresh(r, due))
        add(r, kind, action, due, repeat);
    else
        log(r, entryMissedAway, what, missedText);
}

bool pending(const Run& r, AgendaKind kind)
{
    for (const AgendaCall& c : r.a.calls) {
        if (c.state != callFree && c.kind == kind)
            return true;
    }
    return false;
}

// Whether what called still stands: its clock time unchanged, the idle shutdown on, the
// battery low and not on mains.
bool standing(const Run& r, const AgendaCall& c)
{
    const uint32_t low = r.s.lowAlertPercent > 99 ? 99u : r.s.lowAlertPercent;
    switch (c.kind) {
    case kindClock: return c.clockMinute == 0 || (r.s.clockMinute == c.clockMinute && r.s.clockDays == c.clockDays);
    // Idle no longer once the computer is used (but for its prompt), or the minutes set are more.
    case kindIdle:
        return r.s.idleEnabled != 0 && (c.state == callAsking || !r.e.idleRead ||
                                       (idleMs(r) >= r.e.now.tick - c.since && (c.since != c.tick || idleMs(r) / 60000 >= r.s.idleMinutes)));
    case kindBattery:
        return lowAlertPowerAction(r.s.lowAlertAction) >= 0 && r.a.batteryKnown && r.a.onBattery && r.a.percent <= low;
    default: return true;
    }
}

// The clock time `kind` against the wall clock's move since the event before. Its moment
// in tick time is exact while the wall clock ran with the tick count. A clock put ahead by
// a daylight-saving gap or a zone to the east showed it at the earliest just after the
// event before; the time set past it never showed it. One put back (the hour daylight
// saving repeats, a zone to the west) ran as far as it shows before it went back. A time
// it may have shown before it went back, and does not show now, is left for when it
// shows it.
void passClock(Run& r, AgendaKind kind, uint64_t dTick)
{
    const ClockSlot c = clockSlot(r.s, kind);
    // A time set since the event before counts from now: the clock did not pass it while it was set.
    if (!c.set || (kind == kindClock ? r.a.clockSeen : r.a.onceSeen) != slotSignature(r.s, kind))
        return;
    const int64_t last = localMs(r.a.last.local), now = localMs(r.e.now.local), ticks = static_cast<int64_t>(dTick);
    const bool ahead = now - last > ticks + int64_t(jumpSlackMs), behind = now - last + int64_t(jumpSlackMs) < ticks;
    const int64_t doneDay = kind == kindClock && c.days != 0 ? r.s.clockDoneDay : -1;
    const int64_t day = occurrenceIn(c, doneDay, floorDiv(last, 60000), floorDiv(now, 60000));
    if (day < 0)
        return;
    const int64_t at = (day * minutesPerDay + c.minute) * 60000;
    // Set past it by hand (the universal time jumped too), the moment never came: missed.
    if (ahead && at - last > ticks && r.e.now.utc - r.a.last.utc > ticks + int64_t(jumpSlackMs)) {
        char what[agendaLineSize];
        describe(r.s, r.e.now, kind, c.action, what, sizeof what);
        log(r, entryMissedClockSet, what, " missed: the clock was set past it");
        spend(r, kind, c, day);
        return;
    }
    const int64_t back = ahead ? ticks : behind ? ticks - (at - last) : now - at;
    const uint64_t since = static_cast<uint64_t>(back > 0 ? back : 0);
    const uint64_t due = since < r.e.now.tick ? r.e.now.tick - since : 0;
    addOrMiss(r, kind, c.action, due, kind == kindClock && c.days != 0);
    spend(r, kind, c, day);
}

// What came while Pelk did not run is missed, never performed late: a one-off is dropped,
// a repeat remembers the last of its times that went by.
void missWhileAway(Run& r)
{
    const int64_t now = localMinute(r.e.now.local);
    for (AgendaKind kind : {kindClock, kindOnce}) {
        const ClockSlot c = clockSlot(r.s, kind);
        const int64_t day = c.set ? occurrenceIn(c, c.days != 0 ? r.s.clockDoneDay : -1, now - 8 * minutesPerDay, now) : -1;
        if (day < 0)
            continue;
        char what[agendaLineSize];
        describe(r.s, r.e.now, kind, c.action, what, sizeof what);
        log(r, entryMissedAway, what, missedText);
        spend(r, kind, c, day);
    }
}

// Spent once it came, acted or not: a one-off goes, a repeat remembers its day.
void spend(Run& r, AgendaKind kind, const ClockSlot& c, int64_t day)
{
    if (kind == kindOnce)
        r.s.onceMinute = r.s.onceDay = 0;
    else if (c.days == 0)
        r.s.clockMinute = 0;
    else
        r.s.clockDoneDay = static_cast<uint16_t>(day);
    r.out.save = true;
}

// Time moves on: a sleep since the event before ends what waited or was asked, and every
// moment that has come is due or missed.
void passTime(Run& r)
{
    const AgendaTime& now = r.e.now;
    if (!r.a.started) {
        r.a.started = true;
        r.a.last = now;
        r.a.awakeSince = r.a.idleSampled = now.tick;
    }
    const uint64_t dTick = now.tick > r.a.last.tick ? now.tick - r.a.last.tick : 0;
    const uint64_t dAwake = now.awake > r.a.last.awake ? now.awake - r.a.last.awake : 0;
    if (r.a.asleep || dTick > dAwake + sleepSlackMs || r.e.kind == eventResume || r.e.kind == eventStart) {
        // A moment at the very tick of the wake is not known to be after it.
        r.a.awakeSince = now.tick + 1;
        r.a.asleep = false;
        for (AgendaCall& c : r.a.calls) {
            if (c.state == callWaiting || c.state == callAsking)
                drop(r, c, entryMissedAway, missedText);
        }
    }
    if (r.e.kind == eventStart)
        missWhileAway(r);
    passClock(r, kindClock, dTick);
    passClock(r, kindOnce, dTick);
    if (r.a.countdown && r.a.countdownDue <= now.tick) {
        r.a.countdown = false;
        addOrMiss(r, kindCountdown, r.a.countdownAction, r.a.countdownDue);
    }
    for (AgendaCall& c : r.a.calls) {
        if (c.state != callPutOff || c.tick > now.tick)
            continue;
        // The idle shutdown comes back only to a computer that nobody has used since.
        if (!fresh(r, c.tick))
            drop(r, c, entryMissedAway, missedText);
        else
            c.state = callWaiting;
    }
    // The program ended at the earliest just after the look before.
    if (r.a.watch && r.e.programRead && !r.e.programRuns) {
        r.a.watch = false;
        addOrMiss(r, kindWatch, r.a.watchAction, r.a.watchLooked + 1 < now.tick ? r.a.watchLooked + 1 : now.tick);
    }
    if (r.e.programRead)
        r.a.watchLooked = now.tick;
    if (r.s.idleEnabled == 0 || r.e.idleRead)
        r.a.idleSampled = now.tick;
    if (r.s.idleEnabled != 0 && r.e.idleRead && !pending(r, kindIdle) && idleLimitReached(uint32_t(idleMs(r) / 60000), r.s.idleMinutes))
        add(r, kindIdle, static_cast<uint8_t>(triggerAction(r.s.idleAction)), now.tick);
    if (r.e.batteryRead) {
        r.a.batteryKnown = true;
        r.a.onBattery = r.e.onBattery;
        r.a.percent = r.e.percent;
        const int32_t action = lowAlertPowerAction(r.s.lowAlertAction);
        if (r.e.lowCrossed && action >= 0 && !pending(r, kindBattery))
            add(r, kindBattery, static_cast<uint8_t>(action), now.tick);
    }
    for (AgendaCall& c : r.a.calls) {
        if (c.state != callFree && c.state != callWithdrawn && !standing(r, c))
            drop(r, c, entryCancelled, c.kind == kindBattery ? " cancelled: the battery is no longer low"
                    : c.kind == kindIdle && r.s.idleEnabled != 0 ? " cancelled: the computer was used" : " cancelled: no longer set");
    }
    r.a.last = now;
}

// The call comes again after the put-off minutes.
void putOff(Run& r, AgendaCall& c)
{
    const uint32_t minutes = putOffMinutes(r.s);
    char how[40] = " put off ";
    appendNumber(how, sizeof how, minutes);
    appendText(how, sizeof how, " min");
    logCall(r, c, entryPutOff, how);
    c.state = callPutOff;
    c.since = r.e.now.tick;
    c.tick = r.e.now.tick + uint64_t(minutes) * 60000;
}

// An administrator's clock time is put off where another call would end.
bool keptOff(const Run& r, const AgendaCall& c) { return r.a.clockLocked && c.kind == kindClock; }

void onAnswer(Run& r)
{
    for (AgendaCall& c : r.a.calls) {
        if (c.state == callWithdrawn) {
            if (keptOff(r, c))
                putOff(r, c);
            else
                c.state = callFree;
            return;
        }
        if (c.state != callAsking)
            continue;
        if (r.e.answer == answerPutOff || (r.e.answer != answerYes && keptOff(r, c))) {
            putOff(r, c);
            return;
        }
        c.state = callFree;
        if (r.e.answer != answerYes) {
            r.out.cancelWake = true;
            return;
        }
        r.out.perform = true;
        r.out.action = c.action;
        const bool idle = c.kind == kindIdle;
        r.out.wake = c.kind != kindBattery && (idle ? r.s.idleResumeEnabled : r.s.scheduleResumeEnabled) != 0;
        r.out.wakeMinutes = idle ? r.s.idleResumeMinutes : r.s.scheduleResumeMinutes;
        return;
    }
}

// Everything armed ends; a repeated clock time only skips its next time (unless that one
// is under way already), and the balloon says what became of each. An administrator's
// clock time is not skipped: what of it has come is put off.
void onAbort(Run& r)
{
    char lines[agendaLinesMost][agendaLineSize];
    // In the words of before and after, without the next day, which the skip changes.
    const size_t count = agendaLines(r.a, r.s, r.e.now, lines, false);
    r.out.aborted = agendaAbortable(r.a, r.s, r.e.now);
    r.a.countdown = r.a.watch = false;
    r.a.idleFrom = r.e.now.tick;
    const ClockSlot clock = clockSlot(r.s, kindClock);
    if (clock.set && clock.days == 0)
        r.s.clockMinute = 0;
    r.s.onceMinute = r.s.onceDay = 0;
    if (clock.set && clock.days != 0 && !pending(r, kindClock) && !r.a.clockLocked) {
        const int64_t next = nextOccurrence(clock, localMinute(r.e.now.local));
        if (next > r.s.clockDoneDay)
            r.s.clockDoneDay = static_cast<uint16_t>(next);
    }
    for (AgendaCall& c : r.a.calls) {
        if (keptOff(r, c) && c.state == callWaiting)
            putOff(r, c);
        else if (!keptOff(r, c) || c.state == callAsking)
            end(r, c);
    }
    r.out.save = r.out.cancelWake = true;
    if (!r.out.aborted)
        return;
    // What is gone, then what changed: the repeat, which stays, names the time it skips.
    char after[agendaLinesMost][agendaLineSize];
    const size_t left = agendaLines(r.a, r.s, r.e.now, after, false);
    copyText(r.out.balloon, sizeof r.out.balloon, "Aborted");
    const char* separator = ": ";
    for (size_t pass = 0; pass < 2; ++pass) {
        const size_t n = pass == 0 ? count : left;
        for (size_t i = 0; i < n; ++i) {
            const char* line = pass == 0 ? lines[i] : after[i];
            if (listed(line, pass == 0 ? after : lines, pass == 0 ? left : count, pass == 0))
                continue;
            appendText(r.out.balloon, sizeof r.out.balloon, separator);
            appendText(r.out.balloon, sizeof r.out.balloon, line);
            separator = "; ";
        }
    }
    appendText(r.out.balloon, sizeof r.out.balloon, ".");
    log(r, entryAborted, r.out.balloon, "");
}

// One prompt at a time, none while a window it must not meet shows: the call that came
// due first is asked first.
void ask(Run& r)
{
    if (r.a.blocked)
        return;
    AgendaCall* first = nullptr;
    for (AgendaCall& c : r.a.calls) {
        if (c.state == callAsking || c.state == callWithdrawn)
            return;
        if (c.state == callWaiting && (first == nullptr || c.tick < first->tick || (c.tick == first->tick && c.kind < first->kind)))
            first = &c;
    }
    if (first == nullptr)
        return;
    first->state = callAsking;
    r.out.ask = true;
    r.out.askKind = first->kind;
    r.out.askAction = first->action;
    r.out.askWarnSeconds = first->kind == kindIdle ? 10 : r.s.trayWarnSeconds;
    r.out.askPutOffMinutes = putOffMinutes(r.s);
    // The idle shutdown's force setting is the one its action takes.
    if (first->kind == kindIdle)
        r.s.forceAction = idleForceFlag(r.s.idleForce);
}

// The next moment to look: a countdown's or put-off's end, the watch's next look, the
// idle shutdown's next minute, and the start of the next minute while a clock time is set.
void plan(Run& r)
{
    uint64_t next = 0;
    auto at = [&next](uint64_t tick) { next = next == 0 || tick < next ? tick : next; };
    const uint64_t now = r.e.now.tick;
    if (r.a.countdown)
        at(r.a.countdownDue);
    for (const AgendaCall& c : r.a.calls) {
        if (c.state == callPutOff)
            at(c.tick);
    }
    if (r.a.watch)
        at(r.a.watchLooked + watchPeriodMs);
    if (r.s.idleEnabled != 0)
        at(r.a.idleSampled + idlePeriodMs);
    if (clockSlot(r.s, kindClock).set || clockSlot(r.s, kindOnce).set)
        at(now + (60 - r.e.now.local.second % 60) * 1000ull);
    r.out.next = next != 0 && next < now + 1 ? now + 1 : next;
}

void event(Run& r)
{
    r.a.blocked = r.e.blocked;
    passTime(r);
    // The prompt being answered has ended already: there is nothing left to withdraw.
    if (r.e.kind == eventAnswer)
        r.out.withdraw = false;
    switch (r.e.kind) {
    case eventSuspend: r.a.asleep = true; break;
    case eventCountdown:
        r.a.countdown = true;
        r.a.countdownAction = r.e.action;
        r.a.countdownDue = r.e.now.tick + scheduleLengthFor(r.e.minutes);
        break;
    case eventOnce: {
        const WallTime& t = r.e.now.local;
        r.s.onceMinute = static_cast<uint16_t>((r.e.minutes % minutesPerDay + 1) | uint32_t(r.e.action > 5 ? 5 : r.e.action) << 12);
        r.s.onceDay = static_cast<uint16_t>(dayOfDate(onceDateFor(r.e.minutes % minutesPerDay, t)));
        r.out.save = true;
        break;
    }
    case eventWatch:
        r.a.watch = true;
        r.a.watchAction = r.e.action;
        r.a.watchLooked = r.e.now.tick;
        break;
    case eventUnwatch: r.a.watch = false; break;
    case eventAbort: onAbort(r); break;
    case eventAnswer: onAnswer(r); break;
    default: break;
    }
    r.a.clockSeen = slotSignature(r.s, kindClock);
    r.a.onceSeen = slotSignature(r.s, kindOnce);
    ask(r);
    plan(r);
}

}  // namespace

int64_t dayNumber(uint32_t year, uint32_t month, uint32_t day)
{
    // Counted from 1 March of year 0, so that a leap day ends its year.
    const int64_t m = month, y = static_cast<int64_t>(year) - (m <= 2 ? 1 : 0);
    const int64_t era = floorDiv(y, 400);
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + static_cast<int64_t>(day) - 1;
    return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 730425;
}

AgendaWants agendaWants(const Agenda& a, const Settings& s, uint64_t tick)
{
    bool idleCalls = false;
    for (const AgendaCall& c : a.calls)
        idleCalls = idleCalls || (c.kind == kindIdle && (c.state == callWaiting || (c.state == callPutOff && c.tick <= tick)));
    return {(s.idleEnabled != 0 && tick >= a.idleSampled + idlePeriodMs) || idleCalls,
            a.watch && tick >= a.watchLooked + watchPeriodMs};
}

void agendaEvent(Agenda& a, Settings& s, const AgendaEvent& e, AgendaOut& out)
{
    out = {};
    a.clockLocked = e.clockLocked;
    Run r{a, s, e, out};
    event(r);
}

size_t agendaLines(const Agenda& a, const Settings& s, const AgendaTime& now, char lines[agendaLinesMost][agendaLineSize],
                   bool ahead)
{
    size_t n = 0;
    auto countdown = [&](uint64_t due, uint8_t action) {
        if (n == agendaLinesMost)
            return;
        char left[64];
        formatCountdown(due > now.tick ? static_cast<uint32_t>(due - now.tick < 0xFFFFFFFFu ? due - now.tick : 0xFFFFFFFFu) : 0,
                        left, sizeof left);
        copyText(lines[n], agendaLineSize, left);
        appendText(lines[n], agendaLineSize, left[0] != '\0' ? " until " : "");
        appendText(lines[n++], agendaLineSize, promptActionName(action));
    };
    if (a.countdown)
        countdown(a.countdownDue, a.countdownAction);
    for (const AgendaCall& c : a.calls) {
        if (c.state == callPutOff)
            countdown(c.tick, c.action);
        else if (c.state != callFree && c.state != callWithdrawn && n < agendaLinesMost) {
            copyText(lines[n], agendaLineSize, promptActionName(c.action));
            appendText(lines[n++], agendaLineSize, " now");
        }
    }
    if (a.watch && n < agendaLinesMost)
        describe(s, now, kindWatch, a.watchAction, lines[n++], agendaLineSize);
    for (AgendaKind kind : {kindClock, kindOnce}) {
        if (clockSlot(s, kind).set && n < agendaLinesMost)
            describeSlot(s, kind, localMinute(now.local), lines[n++], agendaLineSize, ahead);
    }
    return n;
}

void agendaTooltip(const Agenda& a, const Settings& s, const AgendaTime& now, char* out, size_t outSize)
{
    char lines[agendaLinesMost][agendaLineSize];
    const size_t n = agendaLines(a, s, now, lines);
    copyText(out, outSize, n == 0 ? (s.idleEnabled != 0 ? "Idle Shutdown Enabled" : trayTipDefault) : "");
    for (size_t i = 0; i < n; ++i) {
        appendText(out, outSize, i > 0 ? ", " : "");
        appendText(out, outSize, lines[i]);
    }
}

bool agendaAbortable(const Agenda& a, const Settings& s, const AgendaTime& now)
{
    bool calls = false;
    for (const AgendaCall& c : a.calls)
        calls = calls || (c.state != callFree && c.state != callWithdrawn &&
                          !(a.clockLocked && c.kind == kindClock && c.state == callPutOff));
    // A repeat whose next time is skipped already leaves Abort nothing more to do.
    const ClockSlot clock = clockSlot(s, kindClock);
    const bool clockArmed = clock.set && !a.clockLocked && (clock.days == 0 || nextOccurrence(clock, localMinute(now.local)) > s.clockDoneDay);
    return calls || a.countdown || a.watch || clockArmed || clockSlot(s, kindOnce).set;
}
