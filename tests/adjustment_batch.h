#pragma once
// The batch of closing-rate adjustments the fault tests save: over rows 1 to
// kAdjustmentRows, as many inserts (AJCI_ID 0, as the window writes them),
// modifications of the first rows and deletions of the last ones.

#include "app/form/window_data_sets.h"
#include "dataset/client/client_data_set.h"
#include "db/bcd.h"

#include <gtest/gtest.h>
#include <string>

namespace db::test {

inline constexpr int kAdjustmentRows = 200;
inline constexpr int kAdjustmentsEach = 100;

// The statement that writes row id of the rows before the batch.
inline std::string adjustmentRowInsert(int id) {
    return "insert into ajuste_cierre values (" + std::to_string(id) +
           ", '2026-01-01', '2026-01-31', " + std::to_string(id) + ", 1.5)";
}

inline void changeAdjustments(app::WindowDataSets& sets) {
    dataset::ClientDataSet& c = sets.CAjuste;
    for (int i = 0; i < kAdjustmentsEach; ++i) {
        c.Append();
        sets.CAjusteAJCI_ID->setAsInteger(0);
        sets.CAjusteAJCI_FECINI->setAsDate({2026, 2, 1});
        sets.CAjusteAJCI_FECFIN->setAsDate({2026, 2, 28});
        sets.CAjusteAJCI_PORC->setAsBcd(db::Bcd::fromScaled(1000 + i, 0));
        sets.CAjusteAJCI_FACTOR->setAsBcd(db::Bcd::fromScaled(2, 0));
        c.Post();
    }
    for (int id = 1; id <= kAdjustmentsEach; ++id) {
        ASSERT_TRUE(c.Locate("AJCI_ID", dataset::Value(std::int64_t{id})));
        c.Edit();
        sets.CAjusteAJCI_FACTOR->setAsBcd(db::Bcd::fromScaled(id, 0));
        c.Post();
    }
    for (int id = kAdjustmentRows - kAdjustmentsEach + 1; id <= kAdjustmentRows; ++id) {
        ASSERT_TRUE(c.Locate("AJCI_ID", dataset::Value(std::int64_t{id})));
        c.Delete();
    }
}

} // namespace db::test
