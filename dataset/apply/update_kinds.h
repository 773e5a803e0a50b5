#pragma once
// The answers that steer applying and reconciling one failed row.

namespace dataset {

// What the resolver does with a row that failed; written into the error
// packet as the value plus 1.
enum class ResolverResponse { Skip, Abort, Merge, Apply, Ignore };

// What the client does with a row the error packet names.
enum class ReconcileAction { Skip, Abort, Merge, Correct, Cancel, Refresh };

enum class UpdateKind { Modify, Insert, Delete };

} // namespace dataset
