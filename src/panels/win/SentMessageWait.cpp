#include "panels/win/SentMessageWait.h"

#include "framework/IgnoredError.h"
#include "framework/win/Handles.h"

#include <windows.h>

#include <exception>
#include <system_error>
#include <thread>

namespace qrv {

void RunAnsweringSentMessages(const std::function<void()>& Work)
{
    TKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) {
        Work();
        return;
    }
    std::exception_ptr failure;
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                Work();
            } catch (...) {
                failure = std::current_exception();
            }
            SetEvent(done.Get());
        });
    } catch (const std::system_error&) {
        TraceIgnoredException(L"starting a worker thread");
        Work();
        return;
    }
    const HANDLE event = done.Get();
    while (MsgWaitForMultipleObjectsEx(1, &event, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0 + 1)
        AnswerSentMessages();
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

void AnswerSentMessages()
{
    // Peeking with this filter handles the sent messages and removes nothing.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace qrv
