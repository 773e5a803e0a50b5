// Fuzzes what is read out of SQL text: the named parameter markers and the
// first word, table name and ORDER BY fields of a query.
//
// The first byte chooses the identifier quote (bits 0-1: '"', none, '`', or
// the next byte) and the mode (bit 2). Raw mode reads the rest as SQL text.
// Built mode reads it as steps that write a statement from known parts
// (words, blanks, punctuation, markers, colons that are no marker, string
// literals and quoted names with any content), so that the markers it must
// hold are known.
//
// What must hold: a marker is never found inside a string literal or a
// quoted name; the names and the replaced text agree; the content of string
// literals never changes the first word, the table name or the ORDER BY
// fields, and neither do quoted names other than as names themselves.

#include "db/param_markers.h"
#include "db/sql_text_scan.h"
#include "platform/text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

using db::ParamMarkers;
using db::SqlTextScan;

void check(bool condition) {
    if (!condition)
        std::abort();
}

// Text copied to a buffer of its exact size, so that a read past its end is
// caught.
class ExactCopy {
public:
    explicit ExactCopy(std::string_view text)
        : bytes_(std::make_unique<char[]>(text.size())), size_(text.size()) {
        text.copy(bytes_.get(), size_);
    }
    std::string_view view() const { return {bytes_.get(), size_}; }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_;
};

std::vector<std::string> names(std::string_view sql, std::string_view quote) {
    return ParamMarkers::names(ExactCopy(sql).view(), quote);
}
std::string replaced(std::string_view sql, std::string_view quote) {
    return ParamMarkers::replace(ExactCopy(sql).view(), quote);
}

struct Scan {
    std::string firstWord, tableName, orderByFields;
    friend bool operator==(const Scan&, const Scan&) = default;
};

Scan scan(std::string_view sql) {
    const ExactCopy copy(sql);
    return {SqlTextScan::firstWord(copy.view()), SqlTextScan::tableName(copy.view()),
            SqlTextScan::orderByFields(copy.view())};
}

std::string without(std::string_view text, std::string_view drop) {
    std::string kept;
    for (const char c : text) {
        if (drop.find(c) == std::string_view::npos)
            kept += c;
    }
    return kept;
}

// The identifier quote as the markers see it: a blank or empty one is the
// single quote.
char markerQuote(std::string_view quote) {
    const std::string trimmed = platform::trim(quote);
    return trimmed.empty() ? '\'' : trimmed.front();
}

// Checks that hold for any text.
void checkText(std::string_view sql, std::string_view quote) {
    const std::vector<std::string> found = names(sql, quote);
    const std::string text = replaced(sql, quote);
    std::size_t nameBytes = 0;
    for (const std::string& name : found) {
        check(!name.empty() && name.find_first_of(" \r\n),") == std::string::npos);
        check(sql.find(':' + name) != std::string_view::npos);
        nameBytes += name.size() + 1;
    }
    // Each marker, colon and name, became " ? " and nothing else changed size.
    check(text.size() == sql.size() - nameBytes + 3 * found.size());
    const auto questionMarks = [](std::string_view s) {
        return std::count(s.begin(), s.end(), '?');
    };
    std::ptrdiff_t namedQuestionMarks = 0;
    for (const std::string& name : found)
        namedQuestionMarks += questionMarks(name);
    check(questionMarks(text) ==
          questionMarks(sql) - namedQuestionMarks + static_cast<std::ptrdiff_t>(found.size()));

    // A quoted text put in front, holding the same text, adds no marker and
    // leaves the markers after it alone.
    const char q = markerQuote(quote);
    const char follower = q == 'x' ? 'y' : 'x'; // no marker starts after it
    for (const char open : {'\'', q}) {
        const std::string prefix = open + without(sql, std::string{'\'', q}) + open + follower;
        check(names(prefix + std::string(sql), quote) == found);
        check(replaced(prefix + std::string(sql), quote) == prefix + text);
    }

    // The scanner skips string literals and reads a quoted name as one word.
    const Scan read = scan(sql);
    check(scan("'" + without(sql, "'") + "' " + std::string(sql)) == read);
    const std::string name = '"' + without(sql, "\"") + '"';
    const Scan afterName = scan(name + ' ' + std::string(sql));
    check(afterName.firstWord == platform::upper(name) && afterName.tableName == read.tableName &&
          afterName.orderByFields == read.orderByFields);
    check(read.tableName.empty() || sql.find(read.tableName) != std::string_view::npos);
}

// The input of built mode, read a byte at a time; zeros after its end.
class Steps {
public:
    explicit Steps(std::string_view bytes) : bytes_(bytes) {}
    bool done() const { return bytes_.empty(); }
    unsigned next() {
        if (bytes_.empty())
            return 0;
        const auto byte = static_cast<unsigned char>(bytes_.front());
        bytes_.remove_prefix(1);
        return byte;
    }
    char pick(std::string_view from) { return from[next() % from.size()]; }
    std::string word(std::string_view alphabet, std::size_t longest) {
        std::string text(1 + next() % longest, ' ');
        for (char& c : text)
            c = pick(alphabet);
        return text;
    }
    // Any bytes but those in drop.
    std::string content(std::string_view drop) {
        std::string text;
        for (std::size_t n = next() % 16; n > 0 && !done(); --n) {
            const char c = static_cast<char>(next());
            if (drop.find(c) == std::string_view::npos)
                text += c;
        }
        return text;
    }

private:
    std::string_view bytes_;
};

constexpr std::string_view kNameChars =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
constexpr std::string_view kWordChars =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_$.";
constexpr std::string_view kStarters = " \r\n(),<=>";
constexpr std::string_view kEnders = " \r\n),";
constexpr std::string_view kKeywords[] = {
    "select", "from", "FROM",   "From", "where",  "order",  "ORDER", "by",        "BY",
    "asc",    "DESC", "insert", "into", "values", "update", "set",   "procedure", "and"};

// A statement written twice, once with its string literals emptied, and the
// markers it holds.
struct Built {
    std::string sql, emptied, replaced;
    std::vector<std::string> names;

    void add(std::string_view text) {
        sql += text;
        emptied += text;
        replaced += text;
    }
    bool endsIn(std::string_view chars) const {
        return !sql.empty() && chars.find(sql.back()) != std::string_view::npos;
    }
};

// quote is '"', '`' or '\'' (the markers' quote).
Built build(Steps& steps, char quote) {
    Built built;
    while (!steps.done()) {
        switch (steps.next() % 10) {
        case 0: // a word
        case 1: // a keyword
            if (built.endsIn(kWordChars))
                built.add(" ");
            built.add(steps.done() || (steps.next() & 1U) != 0
                          ? steps.word(kWordChars, 8)
                          : std::string(kKeywords[steps.next() % std::size(kKeywords)]));
            break;
        case 2:
            built.add(std::string(1, steps.pick(" \r\n\t")));
            break;
        case 3:
            built.add(std::string(1, steps.pick("(),<=>*;+-?|/[]")));
            break;
        case 4: { // a marker
            if (!built.endsIn(kStarters))
                built.add(std::string(1, steps.pick(kStarters)));
            const std::string name = steps.word(kNameChars, 8);
            const char end = steps.pick(kEnders);
            built.sql += ':' + name + end;
            built.emptied += ':' + name + end;
            built.replaced += std::string(" ? ") + end;
            built.names.push_back(name);
            break;
        }
        case 5: { // a colon that starts no marker
            const std::string name = steps.word(kNameChars, 4);
            if (built.sql.empty())
                built.add(':' + name + ' ');
            else if ((steps.next() & 1U) != 0)
                built.add((built.endsIn(kWordChars) ? "" : "a") + (':' + name) + ' ');
            else
                built.add(std::string(1, steps.pick(kStarters)) + ':' + steps.pick(kEnders));
            break;
        }
        case 6: { // a string literal, quotes inside doubled
            std::string literal = "'";
            for (const char c : steps.content({}))
                literal += c == '\'' ? std::string("''") : std::string(1, c);
            literal += '\'';
            built.sql += literal;
            built.emptied += "''";
            built.replaced += literal;
            break;
        }
        case 7: // a name in double quotes: with any content when the markers
                // also see it as quoted, else without colons or quotes
            built.add('"' + steps.content(quote == '"' ? "\"" : "\"':`") + '"');
            break;
        case 8: // a name in the markers' own quote, when that is no other quote
            if (quote == '`')
                built.add('`' + steps.content("`'\"") + '`');
            break;
        default: // a positional marker
            built.add(" ? ");
            break;
        }
    }
    return built;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const unsigned options = static_cast<unsigned char>(input[0]);
    std::string_view rest = input.substr(1);
    std::string quote;
    switch (options & 3U) {
    case 0:
        quote = "\"";
        break;
    case 1:
        break;
    case 2:
        quote = "`";
        break;
    default:
        quote = std::string(rest.substr(0, 1));
        rest.remove_prefix(quote.size());
        break;
    }

    if ((options & 4U) == 0) {
        checkText(rest, quote);
        return 0;
    }
    // Built mode knows its quotes only for the usual identifier quotes.
    const char q = markerQuote(quote);
    if (q != '"' && q != '`' && q != '\'')
        return 0;
    Steps steps(rest);
    const Built built = build(steps, q);
    check(names(built.sql, quote) == built.names);
    check(replaced(built.sql, quote) == built.replaced);
    check(scan(built.sql) == scan(built.emptied));
    checkText(built.sql, quote);
    return 0;
}
