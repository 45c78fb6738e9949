// A second thread for work that can run beside the editor's own: one job at a
// time, handed over by the editor's thread. A job is work that the caller
// shares with the helper (both take parts of it until none is left), so that
// the caller never has to wait for the helper to wake up: a job the helper has
// not begun when the caller finishes it is withdrawn. The thread is started on
// first use and lives as long as the process.
#pragma once

namespace terrafix {

using HelperJob = void (*)(void* data);

// The helper starts running job(data) as soon as it wakes. The previous job
// must be finished.
void StartHelperJob(HelperJob job, void* data);
// Returns once the job last started has returned, or at once if the helper
// has not begun it; then it never runs.
void FinishHelperJob();

// Whether the process may run on two processors or more, so that the helper
// can run beside the editor's thread (or a program it waits for).
bool HelperHasAProcessorOfItsOwn();

// A short pause in a loop that waits for the other thread.
void PauseWhileWaiting();

}  // namespace terrafix
