// Worker threads by number, with priorities on the program's scale of 1 to 32 (16 is normal).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

using ThreadProc = void (*)(int64_t argument);

// Starts proc(argument) on a new thread at normal priority. Returns the thread's number (above 0),
// or 0 when the thread could not be created. Numbers are never reused within a run.
int64_t thread_create(ThreadProc proc, int64_t argument);

// As thread_create, with a stack of stack_bytes reserved instead of the program's default (a megabyte): for
// threads that are many and shallow. Only the pages touched are committed. The native build keeps its default
// stack (the sanitizers need deep ones).
int64_t thread_create_small(ThreadProc proc, int64_t argument, size_t stack_bytes);

// Sets a thread's priority on the scale 1 (idle) to 32 (time critical); 16 is normal and 17 to 30
// run above normal. Returns false for an unknown thread or a failed call.
bool thread_set_priority(int64_t thread, int priority);

// True while the thread runs.
bool thread_is_running(int64_t thread);

// Waits up to timeout_ms (negative: for ever) for the thread to end. Once it has ended its number is
// released and true is returned; an unknown number counts as ended.
bool thread_wait(int64_t thread, int timeout_ms);

// Waits up to timeout_ms (negative: for ever) for every thread of the set, with one deadline for all: returns
// as soon as the last of them has ended. Numbers of ended threads are released as by thread_wait, also when
// others are still running at the deadline; unknown numbers (0 among them) count as ended. Meanwhile it serves
// the messages other threads send to the calling thread's windows (on Windows), so a worker that updates a
// window of the waiting thread cannot hang the wait. True when all ended.
bool thread_wait_all(std::span<const int64_t> threads, int timeout_ms);

// Last resort at exit: ends a thread that did not stop by itself, then releases its number.
// The native build cannot do this and leaves the thread running (returns false).
bool thread_kill(int64_t thread);

// Scale mapping, shared with the tests: the Windows priority for a value on the 1..32 scale.
enum ThreadPriorityLevel : int {
    PRIORITY_LEVEL_IDLE = -15,
    PRIORITY_LEVEL_LOWEST = -2,
    PRIORITY_LEVEL_BELOW_NORMAL = -1,
    PRIORITY_LEVEL_NORMAL = 0,
    PRIORITY_LEVEL_ABOVE_NORMAL = 1,
    PRIORITY_LEVEL_HIGHEST = 2,
    PRIORITY_LEVEL_TIME_CRITICAL = 15
};
ThreadPriorityLevel thread_priority_level(int priority);
