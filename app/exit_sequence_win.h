// The exit sequence's parts that tests reach on Windows: the making of its finishing thread, the library frees.
#pragma once

#include <windows.h>

// Makes the exit's finishing thread (CreateThread's routine and argument; nullptr when it cannot be made).
// The program keeps CreateThread; a test puts in one that fails, to see the saves run on the main thread.
using ExitThreadCreate = HANDLE (*)(LPTHREAD_START_ROUTINE routine, void* argument);
void exit_thread_create_set(ExitThreadCreate create);  // nullptr: CreateThread again

// Frees the libraries loaded under numbers whose element is not 0, in the exit's order: 115 (POWRPROF_LIBRARY),
// 116 (MPR_LIBRARY), 117 (IPHLPAPI_LIBRARY), 119 (DNSAPI_LIBRARY), 114 (PING_IPHLPAPI_LIBRARY).
void exit_libraries_free();
