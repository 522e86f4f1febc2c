// A second process for the named-mutex tests: opens the mutex named on the
// command line and tries to take it without waiting.
// Exit code 0: taken (and released), 1: held by someone else, 2: failure.

#include "common/win/KySyncObjs.h"

#include <cwchar>
#include <exception>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 2;
    try {
        qrv::TMutex mutex(argv[1]);
        if (!mutex.Get(0))
            return 1;
        return mutex.Release() ? 0 : 3;
    } catch (const std::exception&) {
        return 2;
    }
}
