#include "dataset/engine/engine_cursor.h"

#include "dataset/engine/data_set_engine_error.h"

#include <algorithm>

namespace dataset {

int EngineCursor::addFilter(std::shared_ptr<const FilterExpression> filter) {
    const int handle = nextHandle_++;
    TypedFilter typed(*filter, store_.codec());
    filters_.emplace(handle, Installed{std::move(filter), std::move(typed)});
    viewVersion_ = ~std::uint64_t{0};
    settledVersion_ = ~std::uint64_t{0};
    return handle;
}

void EngineCursor::dropFilter(int handle) {
    if (filters_.erase(handle) == 0) {
        throw DataSetEngineError(EngineStatus::NoSuchFilter, "Filter handle not found");
    }
    viewVersion_ = ~std::uint64_t{0};
    settledVersion_ = ~std::uint64_t{0};
}

bool EngineCursor::passes(RowId row) const {
    const RowBytes bytes = store_.record(row);
    for (const auto& [handle, filter] : filters_) {
        if (!filter.typed.matches(bytes)) {
            return false;
        }
    }
    return true;
}

void EngineCursor::refresh() const {
    if (filters_.empty() || viewVersion_ == store_.version()) {
        return;
    }
    view_.clear();
    for (std::size_t i = 0; i < store_.size(); ++i) {
        if (passes(store_.rowAt(i))) {
            view_.push_back(store_.rowAt(i));
        }
    }
    viewVersion_ = store_.version();
}

std::size_t EngineCursor::count() const {
    if (filters_.empty()) {
        return store_.size();
    }
    refresh();
    return view_.size();
}

RowId EngineCursor::rowAt(std::size_t index) const {
    if (filters_.empty()) {
        return store_.rowAt(index);
    }
    refresh();
    return view_[index];
}

std::optional<std::size_t> EngineCursor::indexOf(RowId row) const {
    if (filters_.empty()) {
        std::optional<std::size_t> index = store_.indexOf(row, hint_);
        if (index) {
            hint_ = *index;
        }
        return index;
    }
    refresh();
    if (hint_ < view_.size() && view_[hint_] == row) {
        return hint_;
    }
    auto found = std::find(view_.begin(), view_.end(), row);
    if (found == view_.end()) {
        return std::nullopt;
    }
    hint_ = static_cast<std::size_t>(found - view_.begin());
    return hint_;
}

std::optional<std::size_t> EngineCursor::find(const FilterExpression& expression,
                                              std::size_t from) const {
    const TypedFilter typed(expression, store_.codec());
    const std::size_t rows = count();
    for (std::size_t i = from; i < rows; ++i) {
        if (typed.matches(store_.record(rowAt(i)))) {
            return i;
        }
    }
    return std::nullopt;
}

void EngineCursor::settle() const {
    if (settledVersion_ == store_.version()) {
        return;
    }
    settledVersion_ = store_.version();
    if (current_) {
        if (const std::optional<std::size_t> stored = store_.indexOf(*current_, anchor_)) {
            anchor_ = *stored;
            if (filters_.empty() || passes(*current_)) {
                return;
            }
        }
    }
    // A removed row leaves anchor_ on the row that followed it; a row that
    // no longer passes is skipped by the search itself.
    current_.reset();
    for (std::size_t i = anchor_; i < store_.size(); ++i) {
        if (filters_.empty() || passes(store_.rowAt(i))) {
            current_ = store_.rowAt(i);
            anchor_ = i;
            return;
        }
    }
    const std::size_t rows = count();
    if (rows > 0) {
        current_ = rowAt(rows - 1);
        anchor_ = store_.indexOf(*current_, store_.size() - 1).value_or(0);
    }
}

std::optional<RowId> EngineCursor::current() const {
    settle();
    return current_;
}

std::optional<std::size_t> EngineCursor::currentIndex() const {
    settle();
    if (!current_) {
        return std::nullopt;
    }
    return indexOf(*current_);
}

void EngineCursor::setCurrent(RowId row) {
    current_ = row;
    settledVersion_ = ~std::uint64_t{0};
}

void EngineCursor::setCurrentIndex(std::optional<std::size_t> index) {
    if (!index || *index >= count()) {
        current_.reset();
        anchor_ = 0;
    } else {
        current_ = rowAt(*index);
        hint_ = *index;
        if (filters_.empty()) {
            anchor_ = *index;
        }
    }
    settledVersion_ = ~std::uint64_t{0};
}

} // namespace dataset
