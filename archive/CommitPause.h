#pragma once
// A test hook: the point where a test stops a writer of the archive, so that it can kill it
// there instead of guessing when. No program of Kelvarox sets it.
//
// With KELVAROX_TEST_STOP_BEFORE_COMMIT=N in its environment, the process stops itself
// (SIGSTOP) just before it commits the Nth transaction that stores blocks: that transaction is
// complete but not committed, and the test, which waits for the stop, kills it there. Without
// the variable nothing happens; it is read only when it is set.

namespace kelvarox::archive {

// Called by each engine right before the commit of a transaction that stored blocks.
void PauseBeforeCommitForTests();

}  // namespace kelvarox::archive
