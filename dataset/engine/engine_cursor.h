#pragma once
// A cursor over an engine store: the view (the store's rows that pass every
// installed filter, in store order), a current row kept by its identity so
// that it survives changes around it, and finding rows by expression. The
// current row is always a row of the view; there is none only in an empty
// view.

#include "dataset/engine/engine_store.h"
#include "dataset/filter/filter_expression.h"
#include "dataset/filter/typed_filter.h"

#include <map>
#include <memory>
#include <optional>

namespace dataset {

class EngineCursor {
public:
    explicit EngineCursor(const EngineStore& store) : store_(store) {}

    // Returns a handle for dropping it again.
    int addFilter(std::shared_ptr<const FilterExpression> filter);
    void dropFilter(int handle);
    bool filtered() const { return !filters_.empty(); }

    std::size_t count() const;
    RowId rowAt(std::size_t index) const;
    std::optional<std::size_t> indexOf(RowId row) const;
    bool passes(RowId row) const;
    // The first row of the view from index on that satisfies the expression.
    std::optional<std::size_t> find(const FilterExpression& expression, std::size_t from = 0) const;

    // The current row; empty in an empty view. A current row that left the
    // view (removed, changed or filtered out) gives way to the next row of
    // the view in store order, else to the last row of the view.
    std::optional<RowId> current() const;
    std::optional<std::size_t> currentIndex() const;
    void setCurrentIndex(std::optional<std::size_t> index);
    void setCurrent(RowId row);

private:
    void refresh() const;
    // Puts the current row back into the view after the store or the
    // filters changed.
    void settle() const;

    const EngineStore& store_;
    // Each filter with its form bound to the store's row layout.
    struct Installed {
        std::shared_ptr<const FilterExpression> expression;
        TypedFilter typed;
    };
    std::map<int, Installed> filters_;
    int nextHandle_ = 1;
    mutable std::optional<RowId> current_;
    // Where the current row was last seen in the store: after its removal,
    // the position of the row that followed it.
    mutable std::size_t anchor_ = 0;
    // The store version and filter set the current row was last checked
    // against; ~0 asks for a check.
    mutable std::uint64_t settledVersion_ = ~std::uint64_t{0};
    mutable std::size_t hint_ = 0;
    // The filtered view, rebuilt when the store or the filters change.
    mutable std::vector<RowId> view_;
    mutable std::uint64_t viewVersion_ = ~std::uint64_t{0};
};

} // namespace dataset
