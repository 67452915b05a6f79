// The program's start: from the first instruction to the first wait of the event loop.
#pragma once

// Runs start-up on the calling (main) thread and then the event loop; ends the process through the exit
// sequence, or early for the command word "shutdown" and when another instance runs.
[[noreturn]] void program_main();
