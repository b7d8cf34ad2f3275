// The list file and the calls' bookkeeping of remote actions.
#include "power/remote_rules.h"

#include <cstring>

#include "app/text.h"

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

} // namespace

size_t readHostList(const char* text, size_t size, char (*names)[remoteNameSize], size_t most, size_t* badLine)
{
    size_t count = 0, line = 0;
    *badLine = 0;
    for (size_t start = 0; start < size;) {
        size_t end = start;
        while (end < size && text[end] != '\n' && text[end] != '\0')
            ++end;
        ++line;
        size_t first = start, last = end;
        for (size_t i = first; i < last; ++i)
            last = text[i] == '#' ? i : last;
        while (first < last && blank(text[first]))
            ++first;
        while (last > first && blank(text[last - 1]))
            --last;
        if (last - first >= 2 && text[first] == '\\' && text[first + 1] == '\\')
            first += 2;
        start = end + 1;
        if (first == last)
            continue;
        bool named = last - first < remoteNameSize;
        for (size_t i = first; i < last && named; ++i)
            named = !blank(text[i]) && std::strchr("\\/*?\"<>|,;=+", text[i]) == nullptr;
        if (!named) {
            *badLine = line;
            return 0;
        }
        char name[remoteNameSize];
        std::memcpy(name, text + first, last - first);
        name[last - first] = '\0';
        bool seen = false;
        for (size_t i = 0; i < count && !seen; ++i)
            seen = sameTextIgnoringCase(names[i], name, last - first + 1);  // the terminators too
        if (!seen && count == most)
            return most + 1;
        if (!seen)
            std::memcpy(names[count++], name, last - first + 1);
    }
    return count;
}

void beginRemoteRun(RemoteRun& run, size_t count, uint32_t deadlineMs)
{
    std::memset(&run, 0, sizeof run);
    run.count = count < remoteMostHosts ? count : remoteMostHosts;
    run.deadlineMs = deadlineMs;
}

int nextHostToCall(RemoteRun& run, uint32_t now)
{
    unsigned calling = 0;
    for (size_t i = 0; i < run.count; ++i)
        calling += run.state[i] == hostCalling;
    for (size_t i = 0; i < run.count && calling < remoteInFlightMost; ++i) {
        if (run.state[i] == hostWaiting) {
            run.state[i] = hostCalling;
            run.started[i] = now;
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool hostAnswered(RemoteRun& run, size_t host, uint32_t error)
{
    if (host >= run.count || run.state[host] != hostCalling)
        return false;
    run.state[host] = hostDone;
    run.error[host] = error;
    return true;
}

int expireHost(RemoteRun& run, uint32_t now)
{
    for (size_t i = 0; i < run.count; ++i) {
        if (run.state[i] == hostCalling && now - run.started[i] >= run.deadlineMs) {
            hostAnswered(run, i, remoteTimedOut);
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool remoteRunDone(const RemoteRun& run)
{
    for (size_t i = 0; i < run.count; ++i) {
        if (run.state[i] != hostDone)
            return false;
    }
    return true;
}

uint32_t remoteRunExitCode(const RemoteRun& run)
{
    for (size_t i = 0; i < run.count; ++i) {
        if (run.state[i] == hostDone && run.error[i] != 0)
            return run.error[i];
    }
    return 0;
}

RemoteTally tallyRemoteRun(const RemoteRun& run)
{
    RemoteTally t = {0, 0, 0};
    for (size_t i = 0; i < run.count; ++i) {
        t.done += run.state[i] == hostDone && run.error[i] == 0;
        t.failed += run.state[i] == hostDone && run.error[i] != 0 && run.error[i] != remoteTimedOut;
        t.silent += run.state[i] == hostDone && run.error[i] == remoteTimedOut;
    }
    return t;
}

void formatRemoteSummary(const RemoteRun& run, const char* action, char* out, size_t size)
{
    const RemoteTally t = tallyRemoteRun(run);
    copyText(out, size, action);
    const struct {
        const char* before;
        size_t number;
    } parts[] = {{" of ", run.count}, {run.count == 1 ? " computer: " : " computers: ", t.done}, {" done, ", t.failed},
                 {" failed, ", t.silent}, {" did not answer in ", run.deadlineMs / 1000}};
    for (const auto& part : parts) {
        appendText(out, size, part.before);
        appendNumber(out, size, static_cast<uint32_t>(part.number));
    }
    appendText(out, size, t.done == run.count ? " s." : " s (the log names them).");
}
