#include "db/sql_text_scan.h"

#include "platform/text.h"

#include <cctype>
#include <vector>

namespace db {

namespace {

struct Token {
    std::string text;
    bool word = false;
};

bool isWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '$' || c == '.' || u >= 0x80;
}

// Words, quoted names (quotes kept) and single punctuation; string literals dropped.
std::vector<Token> tokens(std::string_view sql) {
    std::vector<Token> result;
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (static_cast<unsigned char>(c) <= ' ') {
            ++i;
        } else if (c == '\'') {
            const auto end = sql.find('\'', i + 1);
            i = end == std::string_view::npos ? sql.size() : end + 1;
        } else if (c == '"') {
            const auto end = sql.find('"', i + 1);
            const std::size_t stop = end == std::string_view::npos ? sql.size() : end + 1;
            result.push_back({std::string(sql.substr(i, stop - i)), true});
            i = stop;
        } else if (isWordChar(c)) {
            std::size_t j = i;
            while (j < sql.size() && isWordChar(sql[j])) {
                ++j;
            }
            result.push_back({std::string(sql.substr(i, j - i)), true});
            i = j;
        } else {
            result.push_back({std::string(1, c), false});
            ++i;
        }
    }
    return result;
}

} // namespace

std::string SqlTextScan::firstWord(std::string_view sql) {
    const std::vector<Token> all = tokens(sql);
    return !all.empty() && all.front().word ? platform::upper(all.front().text) : std::string();
}

std::string SqlTextScan::tableName(std::string_view sql) {
    const std::vector<Token> all = tokens(sql);
    for (std::size_t i = 0; i + 1 < all.size(); ++i) {
        if (all[i].word && platform::equalsIgnoreCase(all[i].text, "FROM")) {
            return all[i + 1].word ? all[i + 1].text : std::string();
        }
    }
    return {};
}

std::string SqlTextScan::orderByFields(std::string_view sql) {
    const std::vector<Token> all = tokens(sql);
    std::string result;
    for (std::size_t i = 0; i + 1 < all.size(); ++i) {
        if (!platform::equalsIgnoreCase(all[i].text, "ORDER") ||
            !platform::equalsIgnoreCase(all[i + 1].text, "BY")) {
            continue;
        }
        bool expectField = true;
        for (std::size_t j = i + 2; j < all.size(); ++j) {
            if (all[j].text == ",") {
                expectField = true;
            } else if (all[j].word && expectField) {
                if (!result.empty()) {
                    result += ';';
                }
                result += all[j].text;
                expectField = false;
            } else if (!all[j].word || !(platform::equalsIgnoreCase(all[j].text, "ASC") ||
                                         platform::equalsIgnoreCase(all[j].text, "DESC"))) {
                break;
            }
        }
        break;
    }
    return result;
}

} // namespace db
