#include "panels/win/SentMessageWait.h"

#include "framework/ReusedThread.h"
#include "framework/win/Handles.h"

#include <windows.h>

#include <exception>

namespace qrv {

void RunAnsweringSentMessages(const std::function<void()>& Work)
{
    TKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) {
        Work();
        return;
    }
    std::exception_ptr failure;
    TReusedThread worker([&] {
        try {
            Work();
        } catch (...) {
            failure = std::current_exception();
        }
        SetEvent(done.Get());
    });
    const HANDLE event = done.Get();
    while (MsgWaitForMultipleObjectsEx(1, &event, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0 + 1)
        AnswerSentMessages();
    worker.Join();
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
