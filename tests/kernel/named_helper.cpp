// A second process for the named-object tests. Commands:
//   set-event NAME            open the event and set it; exit 0, or 2 when it cannot be opened
//   wait-event NAME MS        open the event and wait; exit 0 when signalled, 1 on time-out
//   take-unit NAME MAXIMUM    take a unit of the semaphore; print "held" and keep it until
//                             killed, or print "refused" and exit 1
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/kernel/synch.h"

namespace {

int SetNamedEvent(const char* name) {
    HANDLE event = OpenEventA(EVENT_ALL_ACCESS, FALSE, name);
    if (event == nullptr) {
        return 2;
    }
    return SetEvent(event) ? 0 : 2;
}

int WaitNamedEvent(const char* name, DWORD milliseconds) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, name);
    if (event == nullptr) {
        return 2;
    }
    std::puts("waiting");
    std::fflush(stdout);
    const DWORD result = WaitForSingleObject(event, milliseconds);
    return result == WAIT_OBJECT_0 ? 0 : result == WAIT_TIMEOUT ? 1 : 2;
}

int TakeUnit(const char* name, LONG maximum) {
    HANDLE semaphore = CreateSemaphoreA(nullptr, maximum, maximum, name);
    if (semaphore == nullptr || WaitForSingleObject(semaphore, 0) != WAIT_OBJECT_0) {
        std::puts("refused");
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    Sleep(INFINITE);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "set-event") == 0) {
        return SetNamedEvent(argv[2]);
    }
    if (argc == 4 && std::strcmp(argv[1], "wait-event") == 0) {
        return WaitNamedEvent(argv[2], static_cast<DWORD>(std::stoul(argv[3])));
    }
    if (argc == 4 && std::strcmp(argv[1], "take-unit") == 0) {
        return TakeUnit(argv[2], static_cast<LONG>(std::stol(argv[3])));
    }
    std::fputs("usage: named_helper set-event|wait-event|take-unit ...\n", stderr);
    return 64;
}
