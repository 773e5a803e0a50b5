#pragma once
// Ends a test process's use of the Firebird client before the process exits.
//
// The client library ends its last threads from its own exit handler, while
// the leak checker of the sanitizer builds walks the threads from another exit
// handler; a thread ending under that walk crashes the checker and fails a run
// whose tests all passed. So the test main stops the client, waits for its
// threads to settle and runs the leak check itself, before any exit handler.

namespace testsupport {

// Shuts the client down if the process loaded one, and waits until the
// process's thread count has stopped changing.
void stopFirebirdClient();

// The leak check of the sanitizer builds, run now; a no-op in other builds.
void checkLeaksNow();

} // namespace testsupport
