#pragma once
// A file-size limit (ulimit -f) ends a process with SIGXFSZ at the write that crosses it, in the
// middle of a record or a save. Every program of ours that writes files ignores the signal at its
// start: such a write then fails like one on a full disk, which every writer already handles
// (a record is cut back whole, a save keeps the old file).

void IgnoreFileSizeLimitSignal();
