#include "dataset/filter/filter_compiler.h"

#include "dataset/filter/filter_arithmetic.h"
#include "dataset/filter/filter_constant.h"
#include "dataset/filter/filter_tokenizer.h"
#include "db/database_error.h"
#include "platform/text.h"

#include <algorithm>
#include <vector>

namespace dataset {
namespace {

using Node = FilterExpression::Node;
using TokenKind = FilterTokenKind;
using Token = FilterToken;

[[noreturn]] void fail(const std::string& message) {
    throw db::DatabaseError(message);
}

bool keyword(const Token& token, std::string_view word) {
    return token.kind == TokenKind::Name && !token.bracketed &&
           platform::equalsIgnoreCase(token.text, word);
}

// Words that join or test conditions and so cannot stand for a value.
bool reserved(const Token& token) {
    return keyword(token, "AND") || keyword(token, "OR") || keyword(token, "NOT") ||
           keyword(token, "LIKE") || keyword(token, "IN") || keyword(token, "IS");
}

bool isArithmetic(const Token& token, std::string_view ops) {
    return token.kind == TokenKind::Operator && token.text.size() == 1 &&
           ops.find(token.text[0]) != std::string_view::npos;
}

std::string describe(const Token& token) {
    return token.kind == TokenKind::End ? "end of expression" : "'" + token.text + "'";
}

// What a value of the text compares with.
enum class Family { Text, Number, Date, Time, DateTime, Boolean, Other };

Family familyOf(FieldType type) {
    switch (type) {
    case FieldType::String:
    case FieldType::FixedChar:
    case FieldType::Memo:
    case FieldType::FmtMemo:
        return Family::Text;
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt:
    case FieldType::AutoInc:
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD:
    case FieldType::FMTBcd:
        return Family::Number;
    case FieldType::Date:
        return Family::Date;
    case FieldType::Time:
        return Family::Time;
    case FieldType::DateTime:
    case FieldType::TimeStamp:
        return Family::DateTime;
    case FieldType::Boolean:
        return Family::Boolean;
    default:
        return Family::Other;
    }
}

// One parsed piece of the text: a condition, or a value (a field, a literal
// or a computed number).
struct Term {
    enum class Kind { Condition, Field, Literal, Computed };
    Kind kind = Kind::Condition;
    std::unique_ptr<Node> node;
    FilterCompiler::FieldRef field{};
    // Literal: its token (Text, Number, or Name for NULL); for the words True
    // and False, which are conditions too, their Name.
    Token literal;
    bool truth = false;
    bool isNull() const { return kind == Kind::Literal && literal.kind == TokenKind::Name; }
};

std::unique_ptr<Node> makeNode(Node::Kind kind) {
    auto node = std::make_unique<Node>();
    node->kind = kind;
    return node;
}

CompareOp mirrored(CompareOp op) {
    switch (op) {
    case CompareOp::Less:
        return CompareOp::Greater;
    case CompareOp::Greater:
        return CompareOp::Less;
    case CompareOp::LessEqual:
        return CompareOp::GreaterEqual;
    case CompareOp::GreaterEqual:
        return CompareOp::LessEqual;
    default:
        return op;
    }
}

std::optional<CompareOp> compareOp(const Token& token) {
    static const std::pair<std::string_view, CompareOp> kOps[] = {
        {"=", CompareOp::Equal},   {"<>", CompareOp::NotEqual},  {"<", CompareOp::Less},
        {">", CompareOp::Greater}, {"<=", CompareOp::LessEqual}, {">=", CompareOp::GreaterEqual}};
    if (token.kind != TokenKind::Operator) {
        return std::nullopt;
    }
    const auto found = std::find_if(std::begin(kOps), std::end(kOps),
                                    [&](const auto& o) { return o.first == token.text; });
    return found == std::end(kOps) ? std::nullopt : std::optional<CompareOp>(found->second);
}

class Parser {
public:
    Parser(const FilterCompiler& compiler, std::vector<Token> tokens)
        : compiler_(compiler), tokens_(std::move(tokens)) {}

    std::unique_ptr<Node> parse() {
        Term term = orExpression();
        if (peek().kind != TokenKind::End) {
            fail(platform::fill(FilterCompiler::kExpressionExpected, describe(peek())));
        }
        return condition(std::move(term));
    }

private:
    // Nesting deeper than this is no filter anyone writes; it would only
    // exhaust the stack.
    static constexpr int kMaxDepth = 200;

    const Token& peek() const { return tokens_[at_]; }
    Token take() { return tokens_[at_ < tokens_.size() - 1 ? at_++ : at_]; }

    bool caseInsensitive() const { return compiler_.options.has(FilterOption::CaseInsensitive); }

    static std::unique_ptr<Node> condition(Term term) {
        if (term.kind != Term::Kind::Condition) {
            fail(FilterCompiler::kTypeMismatch);
        }
        return std::move(term.node);
    }

    static Term conditionTerm(std::unique_ptr<Node> node) {
        Term term;
        term.node = std::move(node);
        return term;
    }

    static Term join(Node::Kind kind, Term left, Term right) {
        auto node = makeNode(kind);
        node->left = condition(std::move(left));
        node->right = condition(std::move(right));
        return conditionTerm(std::move(node));
    }

    Term orExpression() {
        if (++depth_ > kMaxDepth) {
            fail(FilterCompiler::kNestedTooDeeply);
        }
        Term left = andExpression();
        while (keyword(peek(), "OR")) {
            take();
            left = join(Node::Kind::Or, std::move(left), andExpression());
        }
        --depth_;
        return left;
    }

    Term andExpression() {
        Term left = notExpression();
        while (keyword(peek(), "AND")) {
            take();
            left = join(Node::Kind::And, std::move(left), notExpression());
        }
        return left;
    }

    Term notExpression() {
        if (keyword(peek(), "NOT")) {
            take();
            if (++depth_ > kMaxDepth) {
                fail(FilterCompiler::kNestedTooDeeply);
            }
            auto node = makeNode(Node::Kind::Not);
            node->left = condition(notExpression());
            --depth_;
            return conditionTerm(std::move(node));
        }
        return predicate();
    }

    Term predicate() {
        Term left = additive();
        if (keyword(peek(), "IS")) {
            take();
            const bool negate = keyword(peek(), "NOT");
            if (negate) {
                take();
            }
            if (!keyword(take(), "NULL") || left.kind != Term::Kind::Field) {
                fail(FilterCompiler::kInvalidKeyword);
            }
            auto node = makeNode(Node::Kind::IsNull);
            node->column = left.field.column;
            node->flag = negate;
            return conditionTerm(std::move(node));
        }
        if (keyword(peek(), "LIKE")) {
            take();
            if (left.kind != Term::Kind::Field || peek().kind != TokenKind::Text ||
                familyOf(left.field.type) != Family::Text) {
                fail(FilterCompiler::kTypeMismatch);
            }
            auto node = makeNode(Node::Kind::Like);
            node->column = left.field.column;
            node->constant = take().text;
            node->caseInsensitive = caseInsensitive();
            return conditionTerm(std::move(node));
        }
        if (keyword(peek(), "IN")) {
            take();
            return inList(std::move(left));
        }
        const std::optional<CompareOp> op = compareOp(peek());
        if (!op) {
            return left;
        }
        take();
        return comparison(std::move(left), *op, additive());
    }

    Term inList(Term left) {
        if (left.kind != Term::Kind::Field) {
            fail(FilterCompiler::kTypeMismatch);
        }
        if (peek().kind != TokenKind::LParen) {
            fail(platform::fill(FilterCompiler::kOpenExpected, describe(peek())));
        }
        take();
        if (peek().kind == TokenKind::RParen) {
            fail(FilterCompiler::kEmptyInList);
        }
        auto node = makeNode(Node::Kind::In);
        node->column = left.field.column;
        node->caseInsensitive = caseInsensitive();
        for (;;) {
            const Term item = unary();
            if (item.truth) {
                node->list.push_back(truthConstant(left.field, item.literal));
            } else if (item.kind != Term::Kind::Literal) {
                fail(FilterCompiler::kTypeMismatch);
            } else if (!item.isNull()) {
                node->list.push_back(constant(left.field, item.literal));
            }
            const Token next = take();
            if (next.kind == TokenKind::RParen) {
                break;
            }
            if (next.kind != TokenKind::Comma) {
                fail(platform::fill(FilterCompiler::kCloseOrCommaExpected, describe(next)));
            }
        }
        return conditionTerm(std::move(node));
    }

    Term comparison(Term left, CompareOp op, Term right) {
        // True and False with a boolean field are constants of its type.
        if (left.truth && right.kind == Term::Kind::Field) {
            std::swap(left, right);
            op = mirrored(op);
        }
        if (left.kind == Term::Kind::Field && right.truth) {
            auto node = makeNode(Node::Kind::Compare);
            node->column = left.field.column;
            node->op = op;
            node->constant = truthConstant(left.field, right.literal);
            return conditionTerm(std::move(node));
        }
        if (left.kind == Term::Kind::Condition || right.kind == Term::Kind::Condition) {
            fail(FilterCompiler::kTypeMismatch);
        }
        if (left.kind == Term::Kind::Literal && right.kind != Term::Kind::Literal) {
            std::swap(left, right);
            op = mirrored(op);
        }
        if (left.isNull() || right.isNull()) {
            // Nothing equals, or differs from, an unknown value.
            auto node = makeNode(Node::Kind::Constant);
            node->flag = false;
            return conditionTerm(std::move(node));
        }
        if (left.kind == Term::Kind::Field && right.kind == Term::Kind::Literal) {
            return fieldWithConstant(left.field, op, right.literal);
        }
        auto node = makeNode(Node::Kind::CompareValues);
        node->op = op;
        node->caseInsensitive = caseInsensitive();
        const Family a = family(left);
        const Family b = family(right);
        if (right.kind == Term::Kind::Literal && left.kind == Term::Kind::Literal) {
            if (a != b) {
                fail(FilterCompiler::kTypeMismatch);
            }
            node->left = literalNode(left.literal);
            node->right = literalNode(right.literal);
        } else if (right.kind == Term::Kind::Literal) {
            // A computed number with a literal: the literal must be a number.
            if (b != Family::Number) {
                fail(FilterCompiler::kTypeMismatch);
            }
            node->left = std::move(left.node);
            node->right = literalNode(right.literal);
        } else {
            if (a != b || a == Family::Other) {
                fail(FilterCompiler::kTypeMismatch);
            }
            node->left = std::move(left.node);
            node->right = std::move(right.node);
        }
        return conditionTerm(std::move(node));
    }

    Term fieldWithConstant(const FilterCompiler::FieldRef& ref, CompareOp op,
                           const Token& literal) {
        auto node = makeNode(Node::Kind::Compare);
        node->column = ref.column;
        node->op = op;
        node->caseInsensitive = caseInsensitive();
        Token text = literal;
        if (familyOf(ref.type) == Family::Text && literal.kind == TokenKind::Text &&
            !compiler_.options.has(FilterOption::NoPartialCompare) && !text.text.empty() &&
            text.text.back() == '*' && (op == CompareOp::Equal || op == CompareOp::NotEqual)) {
            text.text.pop_back();
            node->partial = true;
        }
        node->constant = constant(ref, text);
        return conditionTerm(std::move(node));
    }

    static Family family(const Term& term) {
        switch (term.kind) {
        case Term::Kind::Field:
            return familyOf(term.field.type);
        case Term::Kind::Computed:
            return Family::Number;
        case Term::Kind::Literal:
            return term.literal.kind == TokenKind::Text ? Family::Text : Family::Number;
        default:
            return Family::Other;
        }
    }

    Value constant(const FilterCompiler::FieldRef& ref, const Token& literal) const {
        return FilterConstant::make(ref, literal.kind == TokenKind::Text, literal.text,
                                    compiler_.parseDate);
    }

    Value truthConstant(const FilterCompiler::FieldRef& ref, const Token& word) const {
        if (familyOf(ref.type) != Family::Boolean) {
            fail(FilterCompiler::kTypeMismatch);
        }
        return constant(ref, word);
    }

    static Value number(const std::string& text) {
        if (text.find('.') == std::string::npos) {
            const FilterCompiler::FieldRef integer{0, FieldType::LargeInt, 0};
            try {
                return FilterConstant::make(integer, false, text, {});
            } catch (const db::DatabaseError&) {
                // Too long for an integer: a decimal holds it.
            }
        }
        const std::optional<db::Bcd> decimal = db::Bcd::fromString(text);
        if (!decimal) {
            fail(FilterCompiler::kTypeMismatch);
        }
        return *decimal;
    }

    static std::unique_ptr<Node> literalNode(const Token& literal) {
        auto node = makeNode(Node::Kind::Literal);
        node->constant =
            literal.kind == TokenKind::Text ? Value(literal.text) : number(literal.text);
        return node;
    }

    // A term taking part in arithmetic becomes a value node.
    std::unique_ptr<Node> numberNode(Term term) {
        if (family(term) != Family::Number || term.isNull()) {
            fail(FilterCompiler::kTypeMismatch);
        }
        if (term.kind == Term::Kind::Literal) {
            return literalNode(term.literal);
        }
        return std::move(term.node);
    }

    Term arithmetic(char op, Term left, Term right) {
        auto node = makeNode(Node::Kind::Arithmetic);
        node->arithmetic = op;
        node->left = numberNode(std::move(left));
        node->right = numberNode(std::move(right));
        Term term;
        term.kind = Term::Kind::Computed;
        term.node = std::move(node);
        return term;
    }

    Term additive() {
        Term left = multiplicative();
        while (isArithmetic(peek(), "+-")) {
            const char op = arithmeticOperator();
            left = arithmetic(op, std::move(left), multiplicative());
        }
        return left;
    }

    Term multiplicative() {
        Term left = unary();
        while (isArithmetic(peek(), "*/")) {
            const char op = arithmeticOperator();
            left = arithmetic(op, std::move(left), unary());
        }
        return left;
    }

    char arithmeticOperator() {
        if (!compiler_.extendedSyntax) {
            fail(FilterCompiler::kNoArithmetic);
        }
        return take().text[0];
    }

    Term unary() {
        if (isArithmetic(peek(), "-") && tokens_[at_ + 1].kind == TokenKind::Number) {
            // A sign written before a number belongs to the number.
            take();
            Term term;
            term.kind = Term::Kind::Literal;
            term.literal = take();
            term.literal.text.insert(0, 1, '-');
            return term;
        }
        if (isArithmetic(peek(), "+-")) {
            const char op = arithmeticOperator();
            if (++depth_ > kMaxDepth) {
                fail(FilterCompiler::kNestedTooDeeply);
            }
            Term operand = unary();
            --depth_;
            if (op == '+') {
                if (family(operand) != Family::Number || operand.isNull()) {
                    fail(FilterCompiler::kTypeMismatch);
                }
                return operand;
            }
            auto node = makeNode(Node::Kind::Negate);
            node->left = numberNode(std::move(operand));
            Term term;
            term.kind = Term::Kind::Computed;
            term.node = std::move(node);
            return term;
        }
        if (isArithmetic(peek(), "*/")) {
            if (!compiler_.extendedSyntax) {
                fail(FilterCompiler::kNoArithmetic);
            }
            fail(platform::fill(FilterCompiler::kExpressionExpected, describe(peek())));
        }
        return primary();
    }

    Term primary() {
        const Token& token = peek();
        if (token.kind == TokenKind::LParen) {
            take();
            Term inner = orExpression();
            if (peek().kind != TokenKind::RParen) {
                fail(platform::fill(FilterCompiler::kCloseExpected, describe(peek())));
            }
            take();
            return inner;
        }
        if (keyword(token, "True") || keyword(token, "False")) {
            auto node = makeNode(Node::Kind::Constant);
            node->flag = keyword(token, "True");
            Term term = conditionTerm(std::move(node));
            term.literal = take();
            term.truth = true;
            return term;
        }
        if (token.kind == TokenKind::Text || token.kind == TokenKind::Number ||
            keyword(token, "NULL")) {
            Term term;
            term.kind = Term::Kind::Literal;
            term.literal = take();
            return term;
        }
        if (token.kind == TokenKind::Name) {
            if (reserved(token)) {
                fail(FilterCompiler::kInvalidKeyword);
            }
            Term term;
            term.kind = Term::Kind::Field;
            term.field = field(take().text);
            term.node = makeNode(Node::Kind::Column);
            term.node->column = term.field.column;
            return term;
        }
        fail(platform::fill(FilterCompiler::kExpressionExpected, describe(token)));
    }

    FilterCompiler::FieldRef field(const std::string& name) const {
        std::optional<FilterCompiler::FieldRef> ref =
            compiler_.lookup ? compiler_.lookup(name) : std::nullopt;
        if (!ref) {
            fail(platform::fill(FilterCompiler::kFieldNotFound, name));
        }
        return *ref;
    }

    const FilterCompiler& compiler_;
    std::vector<Token> tokens_;
    std::size_t at_ = 0;
    int depth_ = 0;
};

} // namespace

std::unique_ptr<FilterExpression> FilterCompiler::compile(std::string_view text) const {
    Parser parser(*this, FilterTokenizer::tokenize(text, decimalSeparator));
    return std::make_unique<FilterExpression>(parser.parse());
}

} // namespace dataset
