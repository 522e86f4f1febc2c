#pragma once
// Threads kept for work split into parts (the keys and the runs of a large
// sort): made once and then woken per job, where starting a thread per part
// and job costs about as much as the part itself (under Wine about a
// millisecond a thread). Portable.

#include <cstddef>
#include <functional>

namespace qrv {

// How many threads share a job: the processors, at most eight.
size_t PartThreadCount();

// Makes the kept threads now (once), so that the first large job finds them
// waiting; later calls return at once.
void StartPartThreads();

// Runs Work(part) for every part from 0 to Parts - 1, on the kept threads
// and on this one, and returns when all are done; a failure of any part is
// raised once all are done. Jobs from several threads take turns.
void RunParts(size_t Parts, const std::function<void(size_t Part)>& Work);

}  // namespace qrv
