// A second thread for work that can run beside the editor's own: one job at a
// time, handed over by the editor's thread, which waits for it to finish
// before it goes on. The thread is started on first use and lives as long as
// the process.
#pragma once

namespace terrafix {

using HelperJob = void (*)(void* data);

// The helper starts running job(data). The previous job must be finished.
void StartHelperJob(HelperJob job, void* data);
// Returns once the job last started has returned.
void FinishHelperJob();

// A short pause in a loop that waits for the other thread.
void PauseWhileWaiting();

}  // namespace terrafix
