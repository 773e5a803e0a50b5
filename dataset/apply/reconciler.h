#pragma once
// Reads an error packet on the client's side and decides, row by row, what
// becomes of each named change: a row answered with Skip (or Abort) keeps
// its change in the change log, a row answered with Refresh loses it and is
// read again, a row answered with Merge and every row the packet does not
// name are merged.

#include "dataset/apply/reconcile_error.h"
#include "dataset/apply/update_kinds.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace dataset {

class ClientDataSet;

class Reconciler {
public:
    using Handler =
        std::function<void(ClientDataSet&, const ReconcileError&, UpdateKind, ReconcileAction&)>;
    // Sees an error the handler raised; the row's action becomes Abort.
    using ErrorDisplay = std::function<void(const std::exception&)>;

    // Delta record numbers by what becomes of their changes.
    struct Outcome {
        // Stay in the change log.
        std::vector<std::uint32_t> kept;
        // Dropped; their rows are read again from the provider.
        std::vector<std::uint32_t> refreshed;
    };

    static Outcome reconcile(const std::vector<std::uint8_t>& delta,
                             const std::vector<std::uint8_t>& errorPacket, ClientDataSet& dataSet,
                             const Handler& handler, const ErrorDisplay& display);

    // The action for one row: the initial one unless the handler changes it.
    static ReconcileAction ask(ClientDataSet& dataSet, const ReconcileError& error, UpdateKind kind,
                               ReconcileAction initial, const Handler& handler,
                               const ErrorDisplay& display);
};

} // namespace dataset
