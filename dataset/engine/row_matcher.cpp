#include "dataset/engine/row_matcher.h"

#include <type_traits>

namespace dataset {
namespace {

// A decimal without the zeros its scale adds: "0.8000" and "0.8" are one.
std::string decimalKey(const db::Bcd& value) {
    std::string text = value.toString();
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    if (text == "-0") {
        text = "0";
    }
    return text;
}

void addPart(std::string& key, char tag, std::string_view part) {
    key += tag;
    key += std::to_string(part.size());
    key += ':';
    key += part;
}

template <typename T> std::string_view bytesOf(const T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    return std::string_view(reinterpret_cast<const char*>(&value), sizeof value);
}

} // namespace

RowMatcher::RowMatcher(const RowCodec& codec, const std::vector<RowBytes>& fresh)
    : codec_(codec), taken_(fresh.size(), false) {
    // Filled back to front, so that take() hands them out in order from the
    // back of each list.
    for (std::size_t i = fresh.size(); i-- > 0;) {
        free_[key(fresh[i])].push_back(i);
    }
}

std::string RowMatcher::key(RowBytes row) const {
    std::string key;
    for (std::size_t c = 0; c < codec_.columnCount(); ++c) {
        const Value value = codec_.value(row, c);
        std::visit(
            [&](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, std::monostate>) {
                    addPart(key, 'n', {});
                } else if constexpr (std::is_same_v<T, std::string>) {
                    addPart(key, 's', v);
                } else if constexpr (std::is_same_v<T, std::int64_t>) {
                    addPart(key, 'i', std::to_string(v));
                } else if constexpr (std::is_same_v<T, db::Bcd>) {
                    addPart(key, 'b', decimalKey(v));
                } else if constexpr (std::is_same_v<T, std::vector<std::uint8_t>>) {
                    addPart(key, 'x',
                            std::string_view(reinterpret_cast<const char*>(v.data()), v.size()));
                } else {
                    addPart(key, 'v', bytesOf(v));
                }
            },
            value);
    }
    return key;
}

bool RowMatcher::take(RowBytes row) {
    const auto found = free_.find(key(row));
    if (found == free_.end() || found->second.empty()) {
        return false;
    }
    taken_[found->second.back()] = true;
    found->second.pop_back();
    return true;
}

std::vector<std::size_t> RowMatcher::untaken() const {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < taken_.size(); ++i) {
        if (!taken_[i]) {
            rows.push_back(i);
        }
    }
    return rows;
}

} // namespace dataset
