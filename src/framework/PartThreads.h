#pragma once
// Threads kept for work split into parts (the keys and the runs of a large
// sort): made once and then woken per job, where starting a thread per part
// and job costs about as much as the part itself (under Wine about a
// millisecond a thread). Portable.

#include <chrono>
#include <cstddef>
#include <functional>

namespace qrv {

// How many threads share a job: the processors, at most eight.
size_t PartThreadCount();

// How many parts work on Count items is split into: MinPerPart items each
// at least, so that small work stays on the caller's thread, and one per
// thread but two at least, so that large work takes the same way on every
// machine (on a single processor, its parts one after the other).
size_t PartCountFor(size_t Count, size_t MinPerPart = 4096);

// Makes the kept threads now (once), so that the first large job finds them
// waiting; later calls return at once. The caller waits for the making of
// one thread, which makes the others.
void StartPartThreads();

// Keeps the threads awake for Time (starting them if need be), for a job
// about to come: a thread woken from its sleep by the job may take longer
// to run than its part. After each job they stay awake a few milliseconds
// on their own.
void WarmPartThreads(std::chrono::milliseconds Time);

// Runs Work(part) for every part from 0 to Parts - 1, on the kept threads
// and on this one, and returns when all are done; a failure of any part is
// raised once all are done. Jobs from several threads take turns.
void RunParts(size_t Parts, const std::function<void(size_t Part)>& Work);

}  // namespace qrv
