// What a run does when memory runs out.
//
// A run's own tables ask the system for memory and, when it gives none,
// call RunOutOfMemory. On systems with exceptions that unwinds to the one
// GuardMemory at the top of the run, which turns it (and any exhausted
// allocation of the standard library inside the run) into a status with
// the OutOfMemory message; everything the run holds is released by the run's
// own way out. Without exceptions (a WebAssembly module) the module stops
// there, and the page that runs it reports it and loads the module again.
#pragma once

#include <functional>

#include "base/status.h"

namespace notora {

// Runs `step`; memory exhausted inside it gives Status::Error(OutOfMemory).
Status GuardMemory(const std::function<Status()>& step);

// Runs `step(context)` where no GuardMemory of the run reaches (on a thread
// of its own): true when it ran to its end, false when memory ran out
// inside it. Allocates nothing itself, so that the thread can go on and
// report it.
bool RunWithinMemory(void (*step)(void* context), void* context);

// Memory the system would not give: ends the guarded step.
[[noreturn]] void RunOutOfMemory();

}  // namespace notora
