#pragma once
// The set-up of a background queue (panels/BackgroundQueue.h) whose worker
// asks the shell: COM of its own, apartment-threaded as the shell wants it,
// and a priority below the window's, so that the worker never slows what
// the user does.

#include <windows.h>

#include <objbase.h>

#include <memory>

namespace qrv {

template <class Queue>
void PrepareShellWorker(Queue& queue, int Priority)
{
    auto comStarted = std::make_shared<bool>(false);
    queue.OnWorkerStart = [comStarted, Priority] {
        SetThreadPriority(GetCurrentThread(), Priority);
        *comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    };
    queue.OnWorkerEnd = [comStarted] {
        if (*comStarted)
            CoUninitialize();
    };
}

}  // namespace qrv
