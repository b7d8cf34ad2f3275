// The agenda held to its promises by simulation: seeded random weeks of minutes, sleeps,
// restarts, clock and zone changes, daylight saving, power, input, the options, Abort,
// every answer to a prompt and triggers that overlap. A model of what the user armed, kept
// with the world's own calendar, checks every promise after every step. What once went
// wrong is a named row.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "battery/alert_rules.h"
#include "settings/system_events.h"
#include "triggers/agenda.h"
#include "triggers/idle_rules.h"

namespace {

enum Op { opWait, opSleep, opRestart, opSetClock, opZone, opPlug, opLevel, opInput, opOptions, opAbort, opAnswer,
          opCountdown, opOnce, opRepeat, opIdle, opWatch, opEnd, opLow, opCount };
struct Step { Op op; int a, b; uint64_t r; };  // r: the step's own randomness (lateness, orders)
const char* const opNames[] = {"wait", "sleep", "restart", "clock", "zone", "plug", "level", "input", "options",
                               "abort", "answer", "countdown", "once", "repeat", "idle", "watch", "end", "low"};
const int64_t minuteMs = 60000, freshMs = 122000, dayMs = 86400000;
const std::map<int, std::string> entryWords = {{entryAborted, "Aborted"}, {entryMissedAway, " missed: the computer"},
    {entryMissedCrowded, " missed: too much"}, {entryMissedClockSet, " missed: the clock"}, {entryCancelled, " cancelled: "}, {entryPutOff, " put off "}};

int64_t floorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
// Days from 1 January 1970, and back.
int64_t daysOf(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = floorDiv(y, 400), yoe = y - era * 400, doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}
WallTime wallOf(int64_t localMs)
{
    const int64_t days = floorDiv(localMs, dayMs), z = days + 719468, era = floorDiv(z, 146097), doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365, doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153, d = doy - (153 * mp + 2) / 5 + 1, m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t ms = localMs - days * dayMs;
    return {uint16_t(yoe + era * 400 + (m <= 2)), uint16_t(m), uint16_t(d), uint16_t(ms / 3600000), uint16_t(ms / minuteMs % 60),
            uint16_t((days + 4) % 7), uint16_t(ms / 1000 % 60), uint16_t(ms % 1000)};
}
// Daylight saving as in Europe: from the last Sunday of March to that of October, at 01:00 UTC.
int64_t switchOf(int64_t year, int64_t month) { const int64_t d = daysOf(year, month, 31); return (d - (d + 4) % 7) * dayMs + 3600000; }

struct Occ {  // a moment something came or comes due, in the model
    AgendaKind kind;
    int64_t due, dueU, since;
    int epoch, serial;
    bool seen, done, noticed;  // noticed: a watched program's end, by a look of the agenda
    bool checked, late;        // an event came after it was due; it came too late for it
    bool jumped;               // a wall clock put ahead passed it: due, at the earliest, just after the event before
    size_t logsAt, deadAt;     // the logs when it came due; the events when it could no longer act
    int64_t local;             // a clock time's moment on the wall clock
};
struct Slot { bool set; int minute, days, serial; int64_t onceDay, floor; };

class Sim {
public:
    // A row's actions have no consequence (as if Windows refused them), so that it stays the user's story.
    Sim(uint64_t seed, int mode, bool unbiased, bool consequences = true)
        : rng_(seed), mode_(mode), unbiased_(unbiased), consequences_(consequences)
    {
        const int64_t starts[] = {1774735200, 1792879200, 1767225600};  // near each switch, or any day of the year
        const uint64_t start = seed / 6 % 3;
        utc0_ = starts[start] * 1000 + int64_t(start == 2 ? rng_() % 365 : rng_() % 3) * dayMs + int64_t(rng_() % 1440) * minuteMs;
        applyDefaults(s_);
        s_.logEvents = 1;
        s_.trayPromptMode = uint32_t(mode);
        s_.putOffMinutes = uint8_t(consequences && rng_() % 2 == 0 ? 1 + rng_() % 120 : 0);  // the rows put off for 10
        s_.trayWarnSeconds = consequences && rng_() % 2 == 0 ? 1 + uint32_t(rng_() % 900) : 5;
        deliver(eventStart);
    }
    bool run(const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            rng_.seed(step.r);
            apply(step);
            if (failure.empty())
                endOfStep();
            if (!failure.empty())
                return false;
        }
        return true;
    }
    std::string failure;
    int performs = 0;
    size_t events = 0;

private:
    int64_t utcMs() const { return utc0_ + tick_ + shift_; }
    int64_t offsetMs() const
    {
        const int64_t year = wallOf(utcMs()).year;
        return (60 + (utcMs() >= switchOf(year, 3) && utcMs() < switchOf(year, 10) ? 60 : 0) + zone_) * minuteMs;
    }
    int64_t localMs() const { return utcMs() + offsetMs(); }
    int64_t nextSwitch() const
    {
        const int64_t year = wallOf(utcMs()).year;
        for (int64_t at : {switchOf(year, 3), switchOf(year, 10), switchOf(year + 1, 3)})
            if (at > utcMs())
                return at - utc0_ - shift_;
        return INT64_MAX;
    }
    bool counting() const { return running_ && !asleep_ && !options_ && !prompt_; }
    uint32_t low() const { return s_.lowAlertPercent > 99 ? 99 : s_.lowAlertPercent; }
    bool batteryLow() const { return lowAlertPowerAction(s_.lowAlertAction) >= 0 && onBattery_ && uint32_t(percent_) <= low(); }
    int64_t idleBase() const
    {
        const int64_t base = lastInput_ > lastActivity_ ? lastInput_ : lastActivity_;
        return base > idleFrom_ ? base : idleFrom_;
    }

    void fail(const std::string& why) { if (failure.empty()) failure = why; }
    Occ& add(AgendaKind kind, int64_t due, int serial = -1)
    {
        occ_.push_back({kind, due, u_, 0, epoch_, serial, false, false, false, false, false, false, logs_, 0, 0});
        return occ_.back();
    }
    void see(Occ& o, int64_t u) { o.seen = true; o.dueU = u; o.epoch = epoch_; o.logsAt = logs_; }

    // The slot's times the wall clock reaches in (from, to]: at `at` when it jumped there.
    void cross(Slot& slot, AgendaKind kind, int64_t from, int64_t to, int64_t at, int64_t u)
    {
        for (int64_t day = floorDiv(from, dayMs); slot.set && day <= floorDiv(to, dayMs); ++day) {
            const int64_t d = day * dayMs + slot.minute * minuteMs;
            const bool applies = slot.days == 0 ? day == slot.onceDay : (slot.days >> ((day + 4) % 7) & 1) != 0;
            // A repeat's day comes once: one the clock shows again, or before one that came or was skipped, does not.
            if (d <= from || d > to || !applies || day <= slot.floor)
                continue;
            slot.floor = slot.days != 0 ? day : slot.floor;
            Occ& o = add(kind, at < 0 ? tick_ + (d - from) : lastEvent_, kind == kindClock && slot.days != 0 ? slot.serial : -1);
            see(o, at < 0 && counting() ? u + (d - from) : at < 0 ? u : lastEventU_);
            o.jumped = at >= 0;
            o.local = d;
            slot.set = slot.set && slot.days != 0;
        }
    }
    // A clock put back: a time it showed before, that no look of the agenda saw and that it
    // does not show now, is as if not shown yet.
    void unshow(int64_t before)
    {
        for (Occ& o : occ_) {
            if (localMs() >= before || o.done || !o.seen || o.checked || o.epoch != epoch_ || o.local <= localMs() ||
                (o.kind != kindClock && o.kind != kindOnce) || o.since != 0)
                continue;
            o.done = true;
            Slot& slot = o.kind == kindClock ? clock_ : once_;
            if (o.serial < 0)
                slot.set = true;
            else
                slot.floor = floorDiv(o.local, dayMs) - 1 < slot.floor ? floorDiv(o.local, dayMs) - 1 : slot.floor;
        }
    }
    void crossClocks(int64_t from, int64_t to, int64_t at)
    {
        cross(clock_, kindClock, from, to, at, u_);
        cross(once_, kindOnce, from, to, at, u_);
    }
    // Time moves to `target`: the model sees what comes due on the way.
    void advance(int64_t target)
    {
        while (tick_ < target) {
            const int64_t to = target < nextSwitch() ? target : nextSwitch(), before = localMs(), dt = to - tick_;
            for (Occ& o : occ_)
                if (!o.seen && !o.done && o.due <= to)
                    see(o, u_ + (counting() ? o.due - tick_ : 0));
            crossClocks(before, before + dt, -1);
            const int64_t jumpFrom = before + dt;
            awake_ += asleep_ ? 0 : dt;
            u_ += counting() ? dt : 0;
            tick_ = to;
            if (localMs() != jumpFrom)
                crossClocks(jumpFrom, localMs(), tick_);
            unshow(jumpFrom);
        }
    }
    // Awake: Pelk's timer and the prompt's countdown come as they fall due, a little late on a busy machine.
    void pass(int64_t ms)
    {
        const int64_t target = tick_ + ms;
        for (;;) {
            int64_t late = rng_() % 100 == 0 ? 150000 + rng_() % 100000 : rng_() % 10 == 0 ? rng_() % 5000 : rng_() % 500;
            int64_t timer = running_ && timer_ != 0 ? int64_t(timer_) + late : INT64_MAX;
            int64_t ends = prompt_ && promptEnds_ != 0 ? promptEnds_ : INT64_MAX;
            if ((timer < ends ? timer : ends) > target || consequence_ != opCount)
                return advance(consequence_ != opCount ? tick_ : target);
            advance(timer < ends ? timer : ends);
            if (timer < ends)
                deliver(eventCheck);
            else
                answer(answerYes);
        }
        advance(target);
    }

    AgendaTime now() const { return {uint64_t(tick_), uint64_t(unbiased_ ? awake_ : tick_ - sleptTold_), wallOf(localMs()), utcMs()}; }
    void deliver(AgendaEventKind kind, uint8_t action = 0, uint32_t minutes = 0, int32_t answer = 0, bool crossed = false)
    {
        AgendaEvent e{kind, now(), options_, action, minutes, answer};
        const AgendaWants wants = agendaWants(agenda_, s_, uint64_t(tick_));
        e.idleRead = wants.idle;
        e.idleMs = idleMsFrom(uint32_t(lastInput_), uint32_t(lastActivity_), uint32_t(tick_));
        e.programRead = wants.program;
        for (Occ& o : occ_)
            o.noticed = o.noticed || (wants.program && !programRuns_);
        if (wants.program || kind == eventWatch) {
            lastLook_ = tick_;
            lastLookU_ = u_;
        }
        e.programRuns = programRuns_;
        e.batteryRead = kind == eventBattery || kind == eventAnswer;
        e.onBattery = onBattery_;
        e.percent = uint32_t(percent_);
        e.lowCrossed = crossed;
        // The first look after a moment came decides whether it was still fresh: a check held up misses it.
        for (Occ& o : occ_) {
            o.late = o.late || (o.seen && !o.checked && o.epoch == epoch_ && tick_ - o.due > 120000);
            o.checked = o.checked || (o.seen && o.epoch == epoch_);
        }
        AgendaOut out;
        lastEvent_ = tick_;
        lastEventU_ = u_;
        agendaEvent(agenda_, s_, e, out);
        ++events;
        logs_ += out.logCount;
        for (size_t i = 0; i < out.logCount; ++i) {  // each line carries the Windows event log's ID of its kind
            const auto words = entryWords.find(out.logEntry[i]);
            if (words == entryWords.end() || std::string(out.log[i]).find(words->second) == std::string::npos)
                fail("entry " + std::to_string(out.logEntry[i]) + " for " + out.log[i]);
        }
        timer_ = out.next;
        balloon_ = out.balloon[0] != '\0' ? out.balloon : balloon_;
        if (out.perform)
            checkPerform(out.action);
        if (out.ask)
            checkAsk(out);
        if (out.withdraw && prompt_) {
            prompt_ = false;
            deliver(eventAnswer, 0, 0, answerNo);
        }
    }

    bool stands(const Occ& o) const
    {
        return (o.serial < 0 || o.serial == clock_.serial) && (o.kind != kindBattery || batteryLow()) &&
               (o.kind != kindIdle || (s_.idleEnabled != 0 && idleBase() <= o.since));
    }
    bool askable(const Occ& o) const
    {
        return o.seen && !o.done && !o.late && o.epoch == epoch_ && (!o.jumped || o.due > wokeAt_) && u_ - o.dueU <= freshMs && stands(o);
    }
    void checkAsk(const AgendaOut& out)
    {
        if (prompt_ || options_)
            return fail("a prompt over another prompt or the options");
        Occ* found = nullptr;
        for (Occ& o : occ_)
            found = found == nullptr && o.kind == out.askKind && askable(o) ? &o : found;
        if (found == nullptr && (out.askKind != kindIdle || s_.idleEnabled == 0 ||
                                 tick_ - idleBase() < int64_t(s_.idleMinutes) * minuteMs || !askedBases_.insert(idleBase()).second))
            return fail("asked " + std::to_string(out.askKind) + " with nothing of it due, armed and fresh");
        if (found != nullptr)
            found->done = true;
        asked_ = {out.askKind, found != nullptr ? found->serial : -1, epoch_, aborts_, out.askAction};
        prompt_ = true;
        promptEnds_ = mode_ == 2 ? tick_ + int64_t(out.askWarnSeconds) * 1000 + 1 : 0;
        if (mode_ == 0)
            answer(answerYes);
    }
    void checkPerform(uint8_t action)
    {
        ++performs;
        if (!yes_ || action != asked_.action || asked_.epoch != epoch_ || asked_.aborts != aborts_)
            fail("performed what was not asked and answered Yes since the last sleep or abort");
        if ((asked_.kind == kindBattery && !batteryLow()) || (asked_.kind == kindIdle && s_.idleEnabled == 0) ||
            (asked_.serial >= 0 && asked_.serial != clock_.serial))
            fail("performed what no longer stands");
        consequence_ = !consequences_ ? opCount : action <= 3 ? opRestart : opSleep;
    }
    void answer(int32_t given)
    {
        if (!prompt_)
            return;
        prompt_ = false;
        yes_ = given == answerYes;
        if (given == answerPutOff && asked_.epoch == epoch_) {
            Occ& o = add(AgendaKind(asked_.kind), tick_ + int64_t(s_.putOffMinutes == 0 ? 10 : s_.putOffMinutes) * minuteMs, asked_.serial);
            o.since = tick_;
        }
        deliver(eventAnswer, 0, 0, given);
        yes_ = false;
    }

    void battery()
    {
        const bool crossed = checkBatteryAlert({uint8_t(onBattery_ ? 0 : 1), 0, uint8_t(percent_)}, s_.lowAlertPercent, 0, track_) == alertLow;
        if (crossed && lowAlertPowerAction(s_.lowAlertAction) >= 0)
            see(add(kindBattery, tick_), u_);
        deliver(eventBattery, 0, 0, 0, crossed);
    }
    void forget(AgendaKind kind) { for (Occ& o : occ_) o.done = o.done || (o.kind == kind && !o.seen && o.since == 0); }
    // Asleep or not running for `minutes`: what shows and is under way is gone with it.
    void away(Op op, int minutes)
    {
        if (op == opSleep && (!unbiased_ || rng_() % 5 != 0))
            deliver(eventSuspend);
        ++epoch_;
        if (op == opRestart) {
            running_ = prompt_ = false;
            for (Occ& o : occ_)
                o.done = true;  // what Pelk held in memory ends with it
            watch_ = false;
            unsigned char file[settingsFileSize];
            encodeSettingsFile(s_, file);
            applyDefaults(s_);
            decodeSettingsFile(file, sizeof file, s_);
            agenda_ = Agenda{};
        }
        asleep_ = op == opSleep;
        lastActivity_ = tick_;
        advance(tick_ + minutes * minuteMs);
        asleep_ = false;
        running_ = true;
        ++epoch_;
        lastActivity_ = wokeAt_ = tick_;
        // A start takes the repeat's last time that went by as missed, whenever it was set.
        for (int64_t day = floorDiv(localMs(), dayMs), first = day - 8; op == opRestart && clock_.set && clock_.days != 0 && day >= first; --day) {
            if (day * dayMs + clock_.minute * minuteMs <= localMs() && (clock_.days >> ((day + 4) % 7) & 1) != 0) {
                clock_.floor = day > clock_.floor ? day : clock_.floor;
                break;
            }
        }
        if (op == opRestart)
            return deliver(eventStart);
        // The resume broadcast (which may not come), the overdue timer and the prompt's countdown, in any order.
        const bool told = !unbiased_ || rng_() % 4 != 0, timerFirst = rng_() % 2 == 0;
        if (told && !timerFirst)
            resume(minutes);
        if (timer_ != 0 && int64_t(timer_) <= tick_)
            deliver(eventCheck);
        if (prompt_ && promptEnds_ != 0 && promptEnds_ <= tick_)
            answer(answerYes);
        if (told && timerFirst)
            resume(minutes);
    }
    void resume(int minutes)
    {
        sleptTold_ += minutes * minuteMs;
        deliver(eventResume);
    }

    // Everything armed ends; a repeat skips its next time unless one of it is under way.
    void abort()
    {
        deliver(eventCheck);  // what it is to name, as the agenda sees it now
        char lines[agendaLinesMost][agendaLineSize];
        const size_t count = agendaAbortable(agenda_, s_, now()) ? agendaLines(agenda_, s_, now(), lines, false) : 0;  // in the balloon's words
        bool underWay = prompt_ && asked_.kind == kindClock;
        for (Occ& o : occ_) {
            underWay = underWay || (o.kind == kindClock && !o.done && (o.seen ? askable(o) : stands(o)));
            o.done = true;
        }
        ++aborts_;
        idleFrom_ = tick_;
        watch_ = once_.set = false;
        clock_.set = clock_.set && clock_.days != 0;
        skipped_ = clock_.set && !underWay;
        for (int64_t day = floorDiv(localMs(), dayMs), next = INT64_MIN; skipped_ && next == INT64_MIN; ++day) {
            if (day * dayMs + clock_.minute * minuteMs > localMs() && (clock_.days >> ((day + 4) % 7) & 1) != 0)
                clock_.floor = next = day > clock_.floor ? day : clock_.floor;
        }
        balloon_.clear();
        deliver(eventAbort);
        char tip[1000];
        agendaTooltip(agenda_, s_, now(), tip, sizeof tip);
        for (size_t i = 0; i < count && balloon_.size() < 255; ++i)  // the balloon says what went, unless it is full
            if (std::string(tip).find(lines[i]) == std::string::npos && balloon_.find(lines[i]) == std::string::npos)
                fail("Abort's balloon leaves out " + std::string(lines[i]) + ": " + balloon_);
        if (prompt_ || (!underWay && agendaAbortable(agenda_, s_, now())))
            fail("a prompt still shows, or something to abort is left, after Abort");
        if (skipped_ && std::string(tip).find("skipped") == std::string::npos)
            fail("Abort skipped the repeat without a word: " + std::string(tip));
    }

    // As the Clock page is left: the agenda looks at the time it had before the new one is set.
    void setClock(const Step& step)
    {
        deliver(eventCheck);
        const WallTime t = wallOf(localMs());
        const int minute = int(((t.hour * 60 + t.minute + step.a) % 1440 + 1440) % 1440);
        char typed[8] = {char('0' + minute / 600), char('0' + minute / 60 % 10), ':', char('0' + minute % 60 / 10), char('0' + minute % 10), 0};
        applyClockChoice(s_, step.b != 0, typed, uint32_t(step.b % 6), step.b >= 128 ? repeatOnce : repeatDays, uint32_t(step.b), t);
        const Slot was = clock_;
        clock_ = {s_.clockMinute != 0, s_.clockMinute - 1, s_.clockDays, was.serial,
                  daysOf(s_.clockOnceDate / 10000, s_.clockOnceDate / 100 % 100, s_.clockOnceDate % 100), was.floor};
        if (clock_.set != was.set || clock_.minute != was.minute || clock_.days != was.days || clock_.onceDay != was.onceDay) {
            ++clock_.serial;
            clock_.floor = INT64_MIN;
        }
        deliver(eventCheck);
    }

    void apply(const Step& step)
    {
        switch (step.op) {
        case opWait: pass(step.a * minuteMs + step.b); break;
        case opSleep:
        case opRestart: away(step.op, step.a); break;
        case opSetClock:
        case opZone: {
            const int64_t before = localMs();
            const size_t known = occ_.size();
            (step.op == opZone ? zone_ : shift_) += step.a * (step.op == opZone ? 1 : minuteMs);
            crossClocks(before, localMs(), tick_);
            for (size_t i = known; i < occ_.size(); ++i)  // the time set past a moment: it never came
                occ_[i].late = occ_[i].late || step.op == opSetClock;
            unshow(before);
            deliver(eventCheck);
            break;
        }
        case opPlug: onBattery_ = step.a == 0; battery(); break;
        case opLevel: percent_ = step.a; battery(); break;
        case opInput: lastInput_ = tick_; break;
        case opOptions: options_ = step.a != 0; deliver(eventWindows); break;
        case opAbort: abort(); break;
        case opAnswer: lastInput_ = tick_; answer(step.a % 3 + 1); break;
        case opCountdown:
            forget(kindCountdown);
            add(kindCountdown, tick_ + step.a * minuteMs + 500);
            deliver(eventCountdown, uint8_t(step.b % 6), uint32_t(step.a));
            break;
        case opOnce: {
            const WallTime t = wallOf(localMs());
            const int minute = ((t.hour * 60 + t.minute + step.a) % 1440 + 1440) % 1440;
            const int64_t today = floorDiv(localMs(), dayMs);
            once_ = {true, minute, 0, once_.serial + 1, today + (minute <= t.hour * 60 + t.minute ? 1 : 0), INT64_MIN};
            deliver(eventOnce, uint8_t(step.b % 6), uint32_t(minute));
            break;
        }
        case opRepeat: setClock(step); break;
        case opIdle:
            askedBases_.clear();  // set again: due again
            s_.idleEnabled = step.a != 0;
            s_.idleMinutes = uint32_t(step.a);
            s_.idleAction = uint32_t(step.b % 6);
            deliver(eventCheck);
            break;
        case opWatch:
            // An end the watch has not looked at yet is replaced with it.
            for (Occ& o : occ_)
                o.done = o.done || (o.kind == kindWatch && !o.noticed && o.since == 0);
            watch_ = programRuns_ = true;
            deliver(eventWatch, uint8_t(step.b % 6));
            break;
        case opEnd:  // seen by the next look: it ended at the earliest just after the one before
            programRuns_ = false;
            if (watch_)
                see(add(kindWatch, lastLook_ + 1), lastLookU_);
            watch_ = false;
            break;
        case opLow:
            s_.lowAlertPercent = uint8_t(step.a);
            s_.lowAlertAction = uint8_t(step.b % 5);
            deliver(eventCheck);
            break;
        case opCount: break;
        }
        if (consequence_ != opCount) {
            const Op op = consequence_;
            consequence_ = opCount;
            away(op, 5 + int(rng_() % 600));
        }
    }

    // Nothing dropped without a log line; every armed item, put-off and skip told.
    void endOfStep()
    {
        for (Occ& o : occ_) {
            // What a look of the agenda found due, fresh and standing is asked then, unless a window is in the way.
            if (!o.done && o.checked && (o.kind != kindWatch || o.noticed) && askable(o) && !prompt_ && !options_ && logs_ == o.logsAt)
                return fail("due and fresh, neither asked nor logged");
            if (!o.done && !o.seen && stands(o) && (timer_ == 0 || int64_t(timer_) > o.due))
                return fail("the agenda's next look is after the moment armed");
            if (o.done || (o.seen ? askable(o) : stands(o)))
                continue;
            // The agenda learns of it at its next event; the idle shutdown of input at its next minute.
            o.done = logs_ > o.logsAt || o.kind == kindIdle;
            if (!o.done && o.deadAt != 0 && events > o.deadAt)
                return fail("dropped without a log line");
            o.deadAt = o.deadAt != 0 ? o.deadAt : events;
        }
        size_t armed = (watch_ ? 1 : 0) + (clock_.set ? 1 : 0) + (once_.set ? 1 : 0);
        for (const Occ& o : occ_)
            armed += !o.seen && !o.done ? 1 : 0;
        char lines[agendaLinesMost][agendaLineSize];
        const size_t told = agendaLines(agenda_, s_, now(), lines);
        if (told < (armed < agendaLinesMost ? armed : agendaLinesMost))
            fail("the tooltip tells " + std::to_string(told) + " of " + std::to_string(armed) + " armed");
    }

    std::mt19937_64 rng_;
    int mode_;
    bool unbiased_, consequences_;
    Settings s_{};
    Agenda agenda_{};
    uint64_t timer_ = 0;
    int64_t utc0_ = 0, tick_ = 10000000, awake_ = 0, sleptTold_ = 0, u_ = 0, shift_ = 0, zone_ = 0;
    int64_t lastInput_ = 0, lastActivity_ = 10000000, promptEnds_ = 0;
    int epoch_ = 0, aborts_ = 0, percent_ = 100;
    bool running_ = true, asleep_ = false, options_ = false, prompt_ = false, yes_ = false, watch_ = false, skipped_ = false;
    bool programRuns_ = false, onBattery_ = false;
    AlertTrack track_{};
    Slot clock_{}, once_{};
    struct { int kind, serial, epoch, aborts, action; } asked_{};
    int64_t idleFrom_ = 0;
    size_t logs_ = 0;
    int64_t lastEvent_ = 0, lastEventU_ = 0, wokeAt_ = 10000000, lastLook_ = 0, lastLookU_ = 0;
    Op consequence_ = opCount;
    std::vector<Occ> occ_;
    std::string balloon_;
    std::set<int64_t> askedBases_;
};

std::vector<Step> randomSteps(uint64_t seed, size_t count)
{
    std::mt19937_64 rng(seed);
    static const int weights[opCount] = {30, 6, 2, 3, 2, 5, 6, 8, 5, 4, 20, 5, 4, 3, 2, 2, 3, 2};
    std::discrete_distribution<int> pick(weights, weights + opCount);
    std::vector<Step> steps;
    for (size_t i = 0; i < count; ++i) {
        const Op op = Op(pick(rng));
        const int r = int(rng() % 1000000), sign = rng() % 2 != 0 ? 1 : -1;
        const int args[opCount][2] = {
            {r % 8 == 0 ? r % 600 : r % 20, r % 60000}, {1 + r % 3000, 0}, {1 + r % 600, 0}, {sign * (1 + r % 180), r},
            {sign * 60, r}, {r % 2, 0}, {r % 8 == 0 ? r % 101 : r % 30, 0}, {0, 0}, {r % 2, 0}, {0, 0}, {r % 3, 0},
            {r % 91, r}, {r % 181 - 20, r}, {r % 121 - 20, r % 256}, {r % 3 == 0 ? 0 : 2 + r % 60, r}, {0, r}, {0, 0},
            {5 + r % 26, r}};
        steps.push_back({op, args[op][0], args[op][1], rng()});
    }
    return steps;
}

std::string describe(const std::vector<Step>& steps)
{
    std::string text;
    for (const Step& s : steps)
        text += std::string(opNames[s.op]) + " " + std::to_string(s.a) + " " + std::to_string(s.b) + "; ";
    return text;
}

bool fails(uint64_t seed, const std::vector<Step>& steps, std::string* why = nullptr)
{
    Sim sim(seed, int(seed % 3), seed % 2 == 0);
    const bool failed = !sim.run(steps);
    if (why != nullptr)
        *why = sim.failure;
    return failed;
}

// The shortest sequence found that still fails, within a bounded number of tries: runs of
// steps left out, halved in length down to single steps, while it still fails.
std::vector<Step> shrink(uint64_t seed, std::vector<Step> steps)
{
    int tries = 4000;
    for (size_t cut = steps.size() / 2; cut > 0 && tries > 0; cut /= 2) {
        for (size_t end = steps.size(); end > 0 && tries-- > 0;) {
            const size_t begin = end > cut ? end - cut : 0;
            std::vector<Step> shorter = steps;
            shorter.erase(shorter.begin() + long(begin), shorter.begin() + long(end));
            if (fails(seed, shorter))
                steps = shorter;
            end = begin;
        }
    }
    return steps;
}

uint64_t setting(const char* name, uint64_t fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr ? std::strtoull(text, nullptr, 10) : fallback;
}

}  // namespace

// Weeks at a time, seeded: PELK_SIM_SEQUENCES sets how many (`make fuzz` runs over a million
// events), PELK_SIM_SEED the first seed, to run a failure again.
TEST(Agenda, SimulatedMonths)
{
#if defined(__has_feature)
    const uint64_t fewSequences = __has_feature(address_sanitizer) ? 3 : 10;  // a few seconds under the sanitizers too
#else
    const uint64_t fewSequences = 10;
#endif
    const uint64_t sequences = setting("PELK_SIM_SEQUENCES", fewSequences), first = setting("PELK_SIM_SEED", std::random_device()());
    size_t events = 0;
    for (uint64_t seed = first; seed < first + sequences; ++seed) {
        const std::vector<Step> steps = randomSteps(seed, 1500);
        Sim sim(seed, int(seed % 3), seed % 2 == 0);
        if (!sim.run(steps)) {
            std::string why;
            const std::vector<Step> shortest = shrink(seed, steps);
            fails(seed, shortest, &why);
            FAIL() << "seed " << seed << ": " << why << "\nshortest: " << describe(shortest);
        }
        events += sim.events;
    }
    std::printf("%llu sequences, %zu events\n", static_cast<unsigned long long>(sequences), events);
}

// Each case that once went wrong, as the user met it (Confirm, but where it says): the
// promises hold and what acts is counted. A repeat ticks `b`'s days (127: every day, 128 and up: once).
TEST(Agenda, CasesThatWentWrong)
{
    struct Case { const char* what; int mode; std::vector<Step> steps; int performs; };
    const Case cases[] = {
        {"a daily time passed in unannounced sleeps, long and short: the timer before the resume broadcast, or none (Just Shutdown)", 0,
         {{opRepeat, 10, 127}, {opSleep, 600, 0, 7}, {opSleep, 1440, 0, 16}, {opRepeat, 2, 127}, {opWait, 1, 0},
          {opSleep, 2, 0, 7}, {opWait, 5, 0}}, 0},
        {"a one-off set after Abort skipped today's repeat", 1,
         {{opRepeat, 300, 127}, {opAbort, 0, 0}, {opOnce, 30, 0}, {opWait, 31, 0}, {opAnswer, 0, 0}}, 1},
        {"today's repeat skipped, then Pelk restarted before it", 0,
         {{opRepeat, 120, 127}, {opAbort, 0, 0}, {opRestart, 10, 0}, {opWait, 120, 0}}, 0},
        {"a daily time in the hour the clock repeats, Pelk restarted in it", 0,
         {{opRepeat, 2, 127}, {opWait, 3, 0}, {opZone, -60, 0}, {opRestart, 1, 0}, {opWait, 70, 0}}, 1},
        {"a one-off of the command line beside the repeat", 0, {{opRepeat, 60, 127}, {opOnce, 30, 3}, {opWait, 61, 0}}, 2},
        {"mains power ends the low battery's prompt", 1,
         {{opLow, 10, 2}, {opPlug, 0, 0}, {opLevel, 9, 0}, {opPlug, 1, 0}, {opAnswer, 0, 0}}, 0},
        {"mains power ends the low battery's put-off", 1,
         {{opLow, 10, 2}, {opPlug, 0, 0}, {opLevel, 9, 0}, {opAnswer, 2, 0}, {opPlug, 1, 0}, {opWait, 11, 0}}, 0},
        {"a second put-off keeps the first", 1,
         {{opOnce, 1, 3}, {opWait, 2, 0}, {opAnswer, 2, 0}, {opCountdown, 2, 1}, {opWait, 3, 0}, {opAnswer, 2, 0},
          {opWait, 8, 0}, {opAnswer, 0, 0}, {opWait, 3, 0}, {opAnswer, 0, 0}}, 2},
        {"a prompt waits for the options to close", 1,
         {{opCountdown, 1, 0}, {opOptions, 1, 0}, {opWait, 5, 0}, {opOptions, 0, 0}, {opAnswer, 0, 0}}, 1},
        {"Abort answers the prompt that shows", 1, {{opCountdown, 1, 0}, {opWait, 2, 0}, {opAbort, 0, 0}, {opAnswer, 0, 0}}, 0},
    };
    for (const Case& c : cases) {
        Sim sim(0, c.mode, true, false);
        EXPECT_TRUE(sim.run(c.steps)) << c.what << ": " << sim.failure;
        EXPECT_EQ(c.performs, sim.performs) << c.what;
    }
}


// An administrator's clock time: Abort finds nothing it may skip, No and Abort put its
// warning off, and it comes again.
TEST(Agenda, AnAdministratorsTimeIsPutOffNeverSkipped)
{
    Settings s = {};
    applyDefaults(s);
    s.logEvents = s.trayPromptMode = 1;
    s.clockMinute = 22 * 60 + 1;
    s.clockDays = 127;
    Agenda a = {};
    AgendaOut out;
    const int64_t evening = daysOf(2026, 12, 9) * dayMs + 21 * 3600000;
    auto at = [&](AgendaEventKind kind, int64_t minutes, int32_t answer = 0) {
        const int64_t ms = 60 * minuteMs + minutes * minuteMs + 5000;  // past 21:00, plus some seconds
        AgendaEvent e = {};
        e.kind = kind;
        e.now = {uint64_t(ms), uint64_t(ms), wallOf(evening + ms), evening + ms};
        e.answer = answer;
        e.clockLocked = true;
        agendaEvent(a, s, e, out);
        return std::string(out.log[0]) + (out.logCount ? "" : "-");
    };
    at(eventStart, -2);
    at(eventAbort, -1);
    EXPECT_FALSE(out.aborted || agendaAbortable(a, s, {0, 0, wallOf(evening + 59 * minuteMs), 0}));
    at(eventCheck, 0);
    EXPECT_TRUE(out.ask);
    EXPECT_NE(std::string::npos, at(eventAnswer, 0, answerNo).find("put off 10 min")) << out.log[0];
    at(eventCheck, 10);
    EXPECT_TRUE(out.ask);
    at(eventAbort, 10);
    EXPECT_TRUE(out.withdraw);
    EXPECT_NE(std::string::npos, at(eventAnswer, 10, answerNo).find("put off 10 min")) << out.log[0];
    at(eventCheck, 20);
    EXPECT_TRUE(out.ask && !out.perform);
    char tip[200];  // once today's has come, the tooltip tells the next day
    agendaTooltip(a, s, {0, 0, wallOf(evening + 2 * 60 * minuteMs), 0}, tip, sizeof tip);
    EXPECT_NE(std::string::npos, std::string(tip).find("Power Off every day at 22:00, next tomorrow")) << tip;
}
