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

// "Power Off every day at 22:00, skipped today", "Log Off tomorrow at 7:00".
void describeSlot(const Settings& s, AgendaKind kind, int64_t nowMinute, char* out, size_t size)
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

class Run {
public:
    Run(Agenda& a, Settings& s, const AgendaEvent& e, AgendaOut& out) : a_(a), s_(s), e_(e), out_(out) {}
    void event();

private:
    void log(const char* what, const char* how);
    void describe(AgendaKind kind, uint8_t action, char* out, size_t size) const;
    void logCall(const AgendaCall& c, const char* how);
    void end(AgendaCall& c);
    void drop(AgendaCall& c, const char* how);
    bool fresh(uint64_t due) const { return due >= a_.awakeSince && due <= e_.now.tick && e_.now.tick - due <= dueWindowMs; }
    void add(AgendaKind kind, uint8_t action, uint64_t due, bool repeat = false);
    void addOrMiss(AgendaKind kind, uint8_t action, uint64_t due, bool repeat = false);
    bool pending(AgendaKind kind) const;
    bool standing(const AgendaCall& c) const;
    // Without input or activity, counted from an abort at the latest.
    uint64_t idleMs() const { return e_.idleMs < e_.now.tick - a_.idleFrom ? e_.idleMs : e_.now.tick - a_.idleFrom; }
    void passTime();
    void missWhileAway();
    void spend(AgendaKind kind, const ClockSlot& c, int64_t day);
    void passClock(AgendaKind kind, uint64_t dTick);
    void onAnswer();
    void onAbort();
    void ask();
    void plan();

    Agenda& a_;
    Settings& s_;
    const AgendaEvent& e_;
    AgendaOut& out_;
};

void Run::log(const char* what, const char* how)
{
    if (s_.logEvents == 0 || out_.logCount >= agendaLogMost)
        return;
    copyText(out_.log[out_.logCount], agendaLogSize, what);
    appendText(out_.log[out_.logCount++], agendaLogSize, how);
}

void Run::describe(AgendaKind kind, uint8_t action, char* out, size_t size) const
{
    if (isClockKind(kind) && clockSlot(s_, kind).set) {
        describeSlot(s_, kind, localMinute(e_.now.local), out, size);
        return;
    }
    static const char* const of[] = {" after the countdown", " at its time", " at its time", " after the idle time",
                                     " when ", " at low battery"};
    copyText(out, size, promptActionName(action));
    appendText(out, size, of[kind]);
    if (kind == kindWatch) {
        appendText(out, size, s_.watchProgram);
        appendText(out, size, " ends");
    }
}

void Run::logCall(const AgendaCall& c, const char* how)
{
    char what[agendaLineSize];
    describe(c.kind, c.action, what, sizeof what);
    if (c.minute != 0 && !clockSlot(s_, c.kind).set) {  // a one-off that came due: its time
        char time[16];
        formatClockTime(c.minute - 1u, time, sizeof time);
        copyText(what, sizeof what, promptActionName(c.action));
        appendText(what, sizeof what, " at ");
        appendText(what, sizeof what, time);
    }
    log(what, how);
}

// A call ends without its action; a prompt that shows goes with it.
void Run::end(AgendaCall& c)
{
    if (c.state == callAsking) {
        out_.withdraw = true;
        c.state = callWithdrawn;
    } else if (c.state != callWithdrawn) {
        c.state = callFree;
    }
}

void Run::drop(AgendaCall& c, const char* how)
{
    logCall(c, how);
    end(c);
}

const char missedText[] = " missed: the computer slept, or Pelk was not running";

void Run::add(AgendaKind kind, uint8_t action, uint64_t due, bool repeat)
{
    for (AgendaCall& c : a_.calls) {
        if (c.state == callFree) {
            const ClockSlot slot = clockSlot(s_, kind);
            c = {callWaiting, kind, action, repeat ? s_.clockMinute : uint16_t(0), repeat ? s_.clockDays : uint8_t(0),
                 uint16_t(isClockKind(kind) && slot.set ? slot.minute + 1 : 0), due, due};
            return;
        }
    }
    char what[agendaLineSize];
    describe(kind, action, what, sizeof what);
    log(what, " missed: too much was waiting");
}

// What came due acts only while fresh; else the log says it was missed.
void Run::addOrMiss(AgendaKind kind, uint8_t action, uint64_t due, bool repeat)
{
    char what[agendaLineSize];
    describe(kind, action, what, sizeof what);
    if (fresh(due))
        add(kind, action, due, repeat);
    else
        log(what, missedText);
}

bool Run::pending(AgendaKind kind) const
{
    for (const AgendaCall& c : a_.calls) {
        if (c.state != callFree && c.kind == kind)
            return true;
    }
    return false;
}

// Whether what called still stands: its clock time unchanged, the idle shutdown on, the
// battery low and not on mains.
bool Run::standing(const AgendaCall& c) const
{
    const uint32_t low = s_.lowAlertPercent > 99 ? 99u : s_.lowAlertPercent;
    switch (c.kind) {
    case kindClock: return c.clockMinute == 0 || (s_.clockMinute == c.clockMinute && s_.clockDays == c.clockDays);
    // Idle no longer once the computer is used (but for its prompt), or the minutes set are more.
    case kindIdle:
        return s_.idleEnabled != 0 && (c.state == callAsking || !e_.idleRead ||
                                       (idleMs() >= e_.now.tick - c.since && (c.since != c.tick || idleMs() / 60000 >= s_.idleMinutes)));
    case kindBattery:
        return lowAlertPowerAction(s_.lowAlertAction) >= 0 && a_.batteryKnown && a_.onBattery && a_.percent <= low;
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
void Run::passClock(AgendaKind kind, uint64_t dTick)
{
    const ClockSlot c = clockSlot(s_, kind);
    // A time set since the event before counts from now: the clock did not pass it while it was set.
    if (!c.set || (kind == kindClock ? a_.clockSeen : a_.onceSeen) != slotSignature(s_, kind))
        return;
    const int64_t last = localMs(a_.last.local), now = localMs(e_.now.local), ticks = static_cast<int64_t>(dTick);
    const bool ahead = now - last > ticks + int64_t(jumpSlackMs), behind = now - last + int64_t(jumpSlackMs) < ticks;
    const int64_t day = occurrenceIn(c, kind == kindClock && c.days != 0 ? s_.clockDoneDay : -1, floorDiv(last, 60000), floorDiv(now, 60000));
    if (day < 0)
        return;
    const int64_t at = (day * minutesPerDay + c.minute) * 60000;
    // Set past it by hand (the universal time jumped too), the moment never came: missed.
    if (ahead && at - last > ticks && e_.now.utc - a_.last.utc > ticks + int64_t(jumpSlackMs)) {
        char what[agendaLineSize];
        describe(kind, c.action, what, sizeof what);
        log(what, " missed: the clock was set past it");
        spend(kind, c, day);
        return;
    }
    const int64_t back = ahead ? ticks : behind ? ticks - (at - last) : now - at;
    const uint64_t since = static_cast<uint64_t>(back > 0 ? back : 0);
    const uint64_t due = since < e_.now.tick ? e_.now.tick - since : 0;
    addOrMiss(kind, c.action, due, kind == kindClock && c.days != 0);
    spend(kind, c, day);
}

// What came while Pelk did not run is missed, never performed late: a one-off is dropped,
// a repeat remembers the last of its times that went by.
void Run::missWhileAway()
{
    const int64_t now = localMinute(e_.now.local);
    for (AgendaKind kind : {kindClock, kindOnce}) {
        const ClockSlot c = clockSlot(s_, kind);
        const int64_t day = c.set ? occurrenceIn(c, c.days != 0 ? s_.clockDoneDay : -1, now - 8 * minutesPerDay, now) : -1;
        if (day < 0)
            continue;
        char what[agendaLineSize];
        describe(kind, c.action, what, sizeof what);
        log(what, missedText);
        spend(kind, c, day);
    }
}

// Spent once it came, acted or not: a one-off goes, a repeat remembers its day.
void Run::spend(AgendaKind kind, const ClockSlot& c, int64_t day)
{
    if (kind == kindOnce)
        s_.onceMinute = s_.onceDay = 0;
    else if (c.days == 0)
        s_.clockMinute = 0;
    else
        s_.clockDoneDay = static_cast<uint16_t>(day);
    out_.save = true;
}

// Time moves on: a sleep since the event before ends what waited or was asked, and every
// moment that has come is due or missed.
void Run::passTime()
{
    const AgendaTime& now = e_.now;
    if (!a_.started) {
        a_.started = true;
        a_.last = now;
        a_.awakeSince = a_.idleSampled = now.tick;
    }
    const uint64_t dTick = now.tick > a_.last.tick ? now.tick - a_.last.tick : 0;
    const uint64_t dAwake = now.awake > a_.last.awake ? now.awake - a_.last.awake : 0;
    if (a_.asleep || dTick > dAwake + sleepSlackMs || e_.kind == eventResume || e_.kind == eventStart) {
        // A moment at the very tick of the wake is not known to be after it.
        a_.awakeSince = now.tick + 1;
        a_.asleep = false;
        for (AgendaCall& c : a_.calls) {
            if (c.state == callWaiting || c.state == callAsking)
                drop(c, missedText);
        }
    }
    if (e_.kind == eventStart)
        missWhileAway();
    passClock(kindClock, dTick);
    passClock(kindOnce, dTick);
    if (a_.countdown && a_.countdownDue <= now.tick) {
        a_.countdown = false;
        addOrMiss(kindCountdown, a_.countdownAction, a_.countdownDue);
    }
    for (AgendaCall& c : a_.calls) {
        if (c.state != callPutOff || c.tick > now.tick)
            continue;
        // The idle shutdown comes back only to a computer that nobody has used since.
        if (!fresh(c.tick))
            drop(c, missedText);
        else
            c.state = callWaiting;
    }
    // The program ended at the earliest just after the look before.
    if (a_.watch && e_.programRead && !e_.programRuns) {
        a_.watch = false;
        addOrMiss(kindWatch, a_.watchAction, a_.watchLooked + 1 < now.tick ? a_.watchLooked + 1 : now.tick);
    }
    if (e_.programRead)
        a_.watchLooked = now.tick;
    if (s_.idleEnabled == 0 || e_.idleRead)
        a_.idleSampled = now.tick;
    if (s_.idleEnabled != 0 && e_.idleRead && !pending(kindIdle) && idleLimitReached(uint32_t(idleMs() / 60000), s_.idleMinutes))
        add(kindIdle, static_cast<uint8_t>(triggerAction(s_.idleAction)), now.tick);
    if (e_.batteryRead) {
        a_.batteryKnown = true;
        a_.onBattery = e_.onBattery;
        a_.percent = e_.percent;
        const int32_t action = lowAlertPowerAction(s_.lowAlertAction);
        if (e_.lowCrossed && action >= 0 && !pending(kindBattery))
            add(kindBattery, static_cast<uint8_t>(action), now.tick);
    }
    for (AgendaCall& c : a_.calls) {
        if (c.state != callFree && c.state != callWithdrawn && !standing(c))
            drop(c, c.kind == kindBattery ? " cancelled: the battery is no longer low"
                    : c.kind == kindIdle && s_.idleEnabled != 0 ? " cancelled: the computer was used" : " cancelled: no longer set");
    }
    a_.last = now;
}

void Run::onAnswer()
{
    for (AgendaCall& c : a_.calls) {
        if (c.state == callWithdrawn) {
            c.state = callFree;
            return;
        }
        if (c.state != callAsking)
            continue;
        if (e_.answer == answerPutOff) {
            const uint32_t minutes = putOffMinutes(s_);
            char how[40] = " put off ";
            appendNumber(how, sizeof how, minutes);
            appendText(how, sizeof how, " min");
            logCall(c, how);
            c.state = callPutOff;
            c.since = e_.now.tick;
            c.tick = e_.now.tick + uint64_t(minutes) * 60000;
            return;
        }
        c.state = callFree;
        if (e_.answer != answerYes) {
            out_.cancelWake = true;
            return;
        }
        out_.perform = true;
        out_.action = c.action;
        const bool idle = c.kind == kindIdle;
        out_.wake = c.kind != kindBattery && (idle ? s_.idleResumeEnabled : s_.scheduleResumeEnabled) != 0;
        out_.wakeMinutes = idle ? s_.idleResumeMinutes : s_.scheduleResumeMinutes;
        return;
    }
}

// Everything armed ends; a repeated clock time only skips its next time (unless that one
// is under way already), and the balloon says what became of each.
void Run::onAbort()
{
    char lines[agendaLinesMost][agendaLineSize];
    const size_t count = agendaLines(a_, s_, e_.now, lines);
    out_.aborted = agendaAbortable(a_, s_, e_.now);
    a_.countdown = a_.watch = false;
    a_.idleFrom = e_.now.tick;
    const ClockSlot clock = clockSlot(s_, kindClock);
    if (clock.set && clock.days == 0)
        s_.clockMinute = 0;
    s_.onceMinute = s_.onceDay = 0;
    if (clock.set && clock.days != 0 && !pending(kindClock)) {
        const int64_t next = nextOccurrence(clock, localMinute(e_.now.local));
        if (next > s_.clockDoneDay)
            s_.clockDoneDay = static_cast<uint16_t>(next);
    }
    for (AgendaCall& c : a_.calls)
        end(c);
    out_.save = out_.cancelWake = true;
    if (!out_.aborted)
        return;
    // What is gone, then what changed: the repeat, which stays, names the time it skips.
    char after[agendaLinesMost][agendaLineSize];
    const size_t left = agendaLines(a_, s_, e_.now, after);
    copyText(out_.balloon, sizeof out_.balloon, "Aborted");
    const char* separator = ": ";
    for (size_t pass = 0; pass < 2; ++pass) {
        const size_t n = pass == 0 ? count : left;
        for (size_t i = 0; i < n; ++i) {
            const char* line = pass == 0 ? lines[i] : after[i];
            if (listed(line, pass == 0 ? after : lines, pass == 0 ? left : count, pass == 0))
                continue;
            appendText(out_.balloon, sizeof out_.balloon, separator);
            appendText(out_.balloon, sizeof out_.balloon, line);
            separator = "; ";
        }
    }
    appendText(out_.balloon, sizeof out_.balloon, ".");
    log(out_.balloon, "");
}

// One prompt at a time, none while a window it must not meet shows: the call that came
// due first is asked first.
void Run::ask()
{
    if (a_.blocked)
        return;
    AgendaCall* first = nullptr;
    for (AgendaCall& c : a_.calls) {
        if (c.state == callAsking || c.state == callWithdrawn)
            return;
        if (c.state == callWaiting && (first == nullptr || c.tick < first->tick || (c.tick == first->tick && c.kind < first->kind)))
            first = &c;
    }
    if (first == nullptr)
        return;
    first->state = callAsking;
    out_.ask = true;
    out_.askKind = first->kind;
    out_.askAction = first->action;
    out_.askWarnSeconds = first->kind == kindIdle ? 10 : s_.trayWarnSeconds;
    out_.askPutOffMinutes = putOffMinutes(s_);
    // The idle shutdown's force setting is the one its action takes.
    if (first->kind == kindIdle)
        s_.forceAction = idleForceFlag(s_.idleForce);
}

// The next moment to look: a countdown's or put-off's end, the watch's next look, the
// idle shutdown's next minute, and the start of the next minute while a clock time is set.
void Run::plan()
{
    uint64_t next = 0;
    auto at = [&next](uint64_t tick) { next = next == 0 || tick < next ? tick : next; };
    const uint64_t now = e_.now.tick;
    if (a_.countdown)
        at(a_.countdownDue);
    for (const AgendaCall& c : a_.calls) {
        if (c.state == callPutOff)
            at(c.tick);
    }
    if (a_.watch)
        at(a_.watchLooked + watchPeriodMs);
    if (s_.idleEnabled != 0)
        at(a_.idleSampled + idlePeriodMs);
    if (clockSlot(s_, kindClock).set || clockSlot(s_, kindOnce).set)
        at(now + (60 - e_.now.local.second % 60) * 1000ull);
    out_.next = next != 0 && next < now + 1 ? now + 1 : next;
}

void Run::event()
{
    a_.blocked = e_.blocked;
    passTime();
    // The prompt being answered has ended already: there is nothing left to withdraw.
    if (e_.kind == eventAnswer)
        out_.withdraw = false;
    switch (e_.kind) {
    case eventSuspend: a_.asleep = true; break;
    case eventCountdown:
        a_.countdown = true;
        a_.countdownAction = e_.action;
        a_.countdownDue = e_.now.tick + uint64_t(e_.minutes) * 60000 + 500;
        break;
    case eventOnce: {
        const WallTime& t = e_.now.local;
        s_.onceMinute = static_cast<uint16_t>((e_.minutes % minutesPerDay + 1) | uint32_t(e_.action > 5 ? 5 : e_.action) << 12);
        s_.onceDay = static_cast<uint16_t>(dayNumber(t.year, t.month, t.day) + (e_.minutes <= minuteOfDay(t) ? 1 : 0));
        out_.save = true;
        break;
    }
    case eventWatch:
        a_.watch = true;
        a_.watchAction = e_.action;
        a_.watchLooked = e_.now.tick;
        break;
    case eventUnwatch: a_.watch = false; break;
    case eventAbort: onAbort(); break;
    case eventAnswer: onAnswer(); break;
    default: break;
    }
    a_.clockSeen = slotSignature(s_, kindClock);
    a_.onceSeen = slotSignature(s_, kindOnce);
    ask();
    plan();
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
    Run(a, s, e, out).event();
}

size_t agendaLines(const Agenda& a, const Settings& s, const AgendaTime& now, char lines[agendaLinesMost][agendaLineSize])
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
    if (a.watch && n < agendaLinesMost) {
        copyText(lines[n], agendaLineSize, promptActionName(a.watchAction));
        appendText(lines[n], agendaLineSize, " when ");
        appendText(lines[n], agendaLineSize, s.watchProgram);
        appendText(lines[n++], agendaLineSize, " ends");
    }
    for (AgendaKind kind : {kindClock, kindOnce}) {
        if (clockSlot(s, kind).set && n < agendaLinesMost)
            describeSlot(s, kind, localMinute(now.local), lines[n++], agendaLineSize);
    }
    return n;
}

void agendaTooltip(const Agenda& a, const Settings& s, const AgendaTime& now, char* out, size_t outSize)
{
    char lines[agendaLinesMost][agendaLineSize];
    const size_t n = agendaLines(a, s, now, lines);
    copyText(out, outSize, n == 0 ? (s.idleEnabled != 0 ? "Idle Shutdown Enabled" : "Pelk 1.4") : "");
    for (size_t i = 0; i < n; ++i) {
        appendText(out, outSize, i > 0 ? ", " : "");
        appendText(out, outSize, lines[i]);
    }
}

bool agendaAbortable(const Agenda& a, const Settings& s, const AgendaTime& now)
{
    bool calls = false;
    for (const AgendaCall& c : a.calls)
        calls = calls || (c.state != callFree && c.state != callWithdrawn);
    // A repeat whose next time is skipped already leaves Abort nothing more to do.
    const ClockSlot clock = clockSlot(s, kindClock);
    const bool clockArmed = clock.set && (clock.days == 0 || nextOccurrence(clock, localMinute(now.local)) > s.clockDoneDay);
    return calls || a.countdown || a.watch || clockArmed || clockSlot(s, kindOnce).set;
}
