#include "dataset/filter/filter_tokenizer.h"

#include "dataset/filter/filter_compiler.h"
#include "db/database_error.h"
#include "platform/text.h"

#include <cctype>

namespace dataset {
namespace {

// Longer texts are cut here when read; a text constant keeps one less.
constexpr std::size_t kMaxLiteral = 256;

bool isNameStart(unsigned char c) {
    return std::isalpha(c) != 0 || c == '_' || (c >= 0x81 && c <= 0xFE);
}

bool isNameChar(unsigned char c) {
    return isNameStart(c) || std::isdigit(c) != 0 || c == '.' || c == '[' || c == ']';
}

} // namespace

std::vector<FilterToken> FilterTokenizer::tokenize(std::string_view text, char separator) {
    std::vector<FilterToken> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (std::isspace(c) != 0) {
            ++i;
        } else if (text.substr(i, 2) == "/*") {
            const std::size_t end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? text.size() : end + 2;
        } else if (c == '[') {
            const std::size_t end = text.find(']', i + 1);
            if (end == std::string_view::npos) {
                throw db::DatabaseError(FilterCompiler::kUnterminatedName);
            }
            tokens.push_back(
                {FilterTokenKind::Name, std::string(text.substr(i + 1, end - i - 1)), true});
            i = end + 1;
        } else if (isNameStart(c)) {
            const std::size_t start = i;
            while (i < text.size() && isNameChar(static_cast<unsigned char>(text[i]))) {
                ++i;
            }
            tokens.push_back({FilterTokenKind::Name, std::string(text.substr(start, i - start))});
        } else if (c == '\'') {
            std::string value;
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    throw db::DatabaseError(FilterCompiler::kUnterminatedString);
                }
                if (text[i] == '\'') {
                    if (i + 1 < text.size() && text[i + 1] == '\'') {
                        value.push_back('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value.push_back(text[i++]);
            }
            if (value.size() > kMaxLiteral) {
                value.resize(kMaxLiteral);
            }
            tokens.push_back({FilterTokenKind::Text, std::move(value)});
        } else if (std::isdigit(c) != 0) {
            std::string number;
            const auto digitAt = [&](std::size_t at) {
                return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0;
            };
            // A comma as separator and no digit after it parts list items.
            const auto separatorAt = [&](std::size_t at) {
                return at < text.size() && text[at] == separator &&
                       (separator != ',' || digitAt(at + 1));
            };
            while (digitAt(i) || separatorAt(i)) {
                number.push_back(text[i] == separator ? '.' : text[i]);
                ++i;
            }
            tokens.push_back({FilterTokenKind::Number, std::move(number)});
        } else if (c == '(') {
            tokens.push_back({FilterTokenKind::LParen, "("});
            ++i;
        } else if (c == ')') {
            tokens.push_back({FilterTokenKind::RParen, ")"});
            ++i;
        } else if (c == ',') {
            tokens.push_back({FilterTokenKind::Comma, ","});
            ++i;
        } else if (text.substr(i, 2) == "<>" || text.substr(i, 2) == "<=" ||
                   text.substr(i, 2) == ">=") {
            tokens.push_back({FilterTokenKind::Operator, std::string(text.substr(i, 2))});
            i += 2;
        } else if (std::string_view("=<>+-*/").find(static_cast<char>(c)) !=
                   std::string_view::npos) {
            tokens.push_back({FilterTokenKind::Operator, std::string(1, static_cast<char>(c))});
            ++i;
        } else {
            throw db::DatabaseError(
                platform::fill(FilterCompiler::kInvalidCharacter, text.substr(i, 1)));
        }
    }
    tokens.push_back({FilterTokenKind::End, {}});
    return tokens;
}

} // namespace dataset
