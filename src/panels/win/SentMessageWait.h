#pragma once
// Long work of the user-interface thread (a folder's first fetch, a large
// sort) runs on a worker while this thread keeps answering the messages
// other threads and programs send to its windows; posted input waits.
// Work that must stay on this thread (building windows) answers them
// between its steps instead.

#include <functional>

namespace qrv {

// Runs Work on a worker thread and returns when it is done, handling sent
// messages meanwhile; Work must not touch this thread's windows. Exceptions
// of Work come through. Without a worker, Work runs here.
void RunAnsweringSentMessages(const std::function<void()>& Work);

// Handles the messages other threads and programs have sent to this
// thread's windows meanwhile, and returns; posted messages and input wait.
void AnswerSentMessages();

}  // namespace qrv
