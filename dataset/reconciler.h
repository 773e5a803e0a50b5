#pragma once
// Reads an error packet on the client's side and decides, row by row, which
// changes stay in the change log: a row answered with Skip (or Abort) keeps
// its change, a row answered with Merge and every row the packet does not
// name are merged.

#include "dataset/reconcile_error.h"
#include "dataset/update_kinds.h"

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

    // The delta record numbers whose changes stay in the change log.
    static std::vector<std::uint32_t> keptRecords(const std::vector<std::uint8_t>& errorPacket,
                                                  ClientDataSet& dataSet, const Handler& handler,
                                                  const ErrorDisplay& display);
};

} // namespace dataset
