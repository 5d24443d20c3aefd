#pragma once
// What the host programs do when a signal ends them: clean up first (a file
// half written is removed), then end as the signal's default action would,
// so that the parent sees the death by that signal and a core file where the
// signal dumps one. Apart from the file writer, which sets no signal
// handling: each program's main installs this with the writer's clean-up.

#include <initializer_list>
#include <vector>

// Every signal whose default action ends the process and that a handler can
// catch, in number order: the standard ones (those that dump core too) and
// SIGRTMIN to SIGRTMAX. SIGKILL is not among them.
std::vector<int> EndingSignals();

// Async-signal-safe work to do before the process ends.
using CleanUp = void (*)() noexcept;

// From now on each ending signal runs `cleanUp`, then ends the process by
// itself. Only signals at their default action get the handler: one the
// process inherited as ignored stays ignored (nohup's SIGHUP), one that a
// sanitizer's runtime already handles stays its. `leftToCaller` are not
// touched: the caller has its own use for them.
// SIGPIPE and SIGXFSZ are ignored instead, so that writing to a closed pipe
// or past the size limit fails with an error that is reported rather than
// ending the process.
void CleanUpOnEndingSignals(CleanUp cleanUp, std::initializer_list<int> leftToCaller = {});
