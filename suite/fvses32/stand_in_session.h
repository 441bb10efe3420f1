// What every manager's construction does for tests (the settings FARVANE_TEST_SVCMGR_* read
// from the environment, see service_managers.cpp): the asked-for failure (std::bad_alloc), the
// report of the arguments, the delayed end of the session.
#pragma once

void StartStandInSession(const char* kind, const char* path, int first, int second,
                         const char* text);
