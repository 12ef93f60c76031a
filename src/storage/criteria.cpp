#include "storage/criteria.h"

#include "storage/jetlexer.h"

namespace velmara::storage {

namespace {

struct Token {
    enum Kind { End, Name, String, Number, Op, LParen, RParen } kind = End;
    QString text;
};

// Name, [Name], Table.Column, [Table].[Column]: the parts joined by dots.
bool isNamePart(const JetToken& t) {
    return t.is(JetToken::Word) || t.is(JetToken::BracketName);
}

bool tokenize(const QString& s, QVector<Token>* tokens, QString* error) {
    const QVector<JetToken> lexed = lexJet(s);
    if (const JetToken* open = firstUnclosed(lexed)) {
        const QString what = open->is(JetToken::BracketName) ? QStringLiteral("[")
                             : open->is(JetToken::Comment)   ? QStringLiteral("comment")
                                                             : QStringLiteral("quote");
        *error = QStringLiteral("Unclosed %1 in criteria: %2").arg(what, s);
        return false;
    }
    for (int i = 0; i < lexed.size(); ++i) {
        const JetToken& t = lexed.at(i);
        switch (t.kind) {
        case JetToken::Blank:
            break;
        case JetToken::SingleQuoted:
        case JetToken::DoubleQuoted:
            tokens->append({Token::String, t.value});
            break;
        case JetToken::Number:
            tokens->append({Token::Number, t.value});
            break;
        case JetToken::Word:
        case JetToken::BracketName: {
            QString name = t.value;
            while (i + 2 < lexed.size() && lexed.at(i + 1).isOperator(QLatin1String(".")) &&
                   isNamePart(lexed.at(i + 2))) {
                name += QLatin1Char('.') + lexed.at(i + 2).value;
                i += 2;
            }
            tokens->append({Token::Name, name});
            break;
        }
        case JetToken::Operator: {
            const QString& op = t.value;
            if (op == QLatin1String("("))
                tokens->append({Token::LParen, op});
            else if (op == QLatin1String(")"))
                tokens->append({Token::RParen, op});
            else if (op == QLatin1String("!="))
                tokens->append({Token::Op, QStringLiteral("<>")});
            else if (op == QLatin1String("=="))
                tokens->append({Token::Op, QStringLiteral("=")});
            else if (op == QLatin1String("<>") || op == QLatin1String("<=") ||
                     op == QLatin1String(">=") || op == QLatin1String("<") ||
                     op == QLatin1String(">") || op == QLatin1String("=") ||
                     op == QLatin1String("-") || op == QLatin1String("+"))
                tokens->append({Token::Op, op});
            else {
                *error = QStringLiteral("Unexpected '%1' in criteria: %2").arg(op, s);
                return false;
            }
            break;
        }
        case JetToken::BacktickName:
        case JetToken::Comment:
            *error = QStringLiteral("Unexpected '%1' in criteria: %2")
                         .arg(s.mid(t.start, t.end - t.start), s);
            return false;
        }
    }
    tokens->append({Token::End, QString()});
    return true;
}

bool isWord(const Token& t, const char* word) {
    return t.kind == Token::Name && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool toNumber(const QVariant& v, double* number) {
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Double:
    case QMetaType::Bool:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        *number = v.toDouble();
        return true;
    default:
        return false;
    }
}

bool parseNumber(const QString& text, double* number) {
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (ok)
        *number = d;
    return ok && !text.trimmed().isEmpty();
}

} // namespace

class CriteriaParser {
public:
    CriteriaParser(Criteria* out, QVector<Token> tokens,
                   const std::function<int(const QString&)>& columnIndex)
        : m_out(out), m_tokens(std::move(tokens)), m_columnIndex(columnIndex) {}

    bool run(QString* error) {
        m_out->m_root = orExpr();
        if (m_error.isEmpty() && peek().kind != Token::End)
            m_error = QStringLiteral("Unexpected '%1'").arg(peek().text);
        if (!m_error.isEmpty()) {
            *error = m_error;
            return false;
        }
        return true;
    }

private:
    const Token& peek(int ahead = 0) const {
        const int i = std::min(m_pos + ahead, int(m_tokens.size()) - 1);
        return m_tokens.at(i);
    }
    const Token& take() {
        const Token& t = peek();
        if (m_pos < m_tokens.size() - 1)
            ++m_pos;
        return t;
    }
    int add(Criteria::Node node) {
        m_out->m_nodes.append(std::move(node));
        return int(m_out->m_nodes.size()) - 1;
    }
    int binary(Criteria::Node::Kind kind, int left, int right) {
        Criteria::Node n;
        n.kind = kind;
        n.left = left;
        n.right = right;
        return add(n);
    }

    int orExpr() {
        int left = andExpr();
        while (m_error.isEmpty() && isWord(peek(), "OR")) {
            take();
            left = binary(Criteria::Node::Or, left, andExpr());
        }
        return left;
    }
    int andExpr() {
        int left = notExpr();
        while (m_error.isEmpty() && isWord(peek(), "AND")) {
            take();
            left = binary(Criteria::Node::And, left, notExpr());
        }
        return left;
    }
    int notExpr() {
        if (isWord(peek(), "NOT")) {
            take();
            return binary(Criteria::Node::Not, notExpr(), -1);
        }
        return predicate();
    }
    int predicate() {
        if (!m_error.isEmpty())
            return -1;
        if (peek().kind == Token::LParen) {
            take();
            const int inner = orExpr();
            if (take().kind != Token::RParen && m_error.isEmpty())
                m_error = QStringLiteral("Missing )");
            return inner;
        }
        Criteria::Node node;
        node.a = operand();
        if (!m_error.isEmpty())
            return -1;
        const Token& t = peek();
        if (t.kind == Token::Op && t.text != QLatin1String("-") && t.text != QLatin1String("+")) {
            node.kind = Criteria::Node::Compare;
            const QString op = take().text;
            node.op = op == QLatin1String("=")    ? Criteria::Node::Eq
                      : op == QLatin1String("<>") ? Criteria::Node::Ne
                      : op == QLatin1String("<")  ? Criteria::Node::Lt
                      : op == QLatin1String(">")  ? Criteria::Node::Gt
                      : op == QLatin1String("<=") ? Criteria::Node::Le
                                                  : Criteria::Node::Ge;
            node.b = operand();
        } else if (isWord(t, "LIKE") || (isWord(t, "NOT") && isWord(peek(1), "LIKE"))) {
            node.negate = isWord(take(), "NOT");
            if (node.negate)
                take();
            node.kind = Criteria::Node::Like;
            node.b = operand();
            if (node.b.column < 0)
                node.pattern = std::make_shared<LikePattern>(node.b.literal.toString(),
                                                             LikePattern::Dialect::Jet);
        } else if (isWord(t, "IS")) {
            take();
            node.negate = isWord(peek(), "NOT");
            if (node.negate)
                take();
            if (!isWord(take(), "NULL"))
                m_error = QStringLiteral("IS must be followed by NULL");
            node.kind = Criteria::Node::IsNull;
        } else {
            node.kind = Criteria::Node::Truth;
        }
        return m_error.isEmpty() ? add(node) : -1;
    }
    Criteria::Operand operand() {
        Criteria::Operand o;
        const Token t = take();
        switch (t.kind) {
        case Token::String:
            o.literal = t.text;
            o.literalIsNumber = parseNumber(t.text, &o.literalNumber);
            break;
        case Token::Number:
            o.literal = t.text.toDouble();
            o.literalIsNumber = true;
            o.literalNumber = o.literal.toDouble();
            break;
        case Token::Op:
            if ((t.text == QLatin1String("-") || t.text == QLatin1String("+")) &&
                peek().kind == Token::Number) {
                const double d = take().text.toDouble();
                o.literalNumber = t.text == QLatin1String("-") ? -d : d;
                o.literal = o.literalNumber;
                o.literalIsNumber = true;
            } else {
                m_error = QStringLiteral("Unexpected '%1'").arg(t.text);
            }
            break;
        case Token::Name:
            if (t.text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
                t.text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
                o.literalNumber = t.text.size() == 4 ? 1 : 0;
                o.literal = o.literalNumber;
                o.literalIsNumber = true;
            } else if (t.text.compare(QLatin1String("Null"), Qt::CaseInsensitive) == 0) {
                o.literal = QVariant();
            } else {
                o.column = m_columnIndex(t.text);
                if (o.column < 0)
                    m_error = QStringLiteral("Unknown field '%1'").arg(t.text);
            }
            break;
        default:
            m_error = t.kind == Token::End ? QStringLiteral("Criteria ends too early")
                                           : QStringLiteral("Unexpected '%1'").arg(t.text);
        }
        return o;
    }

    Criteria* m_out;
    QVector<Token> m_tokens;
    const std::function<int(const QString&)>& m_columnIndex;
    int m_pos = 0;
    QString m_error;
};

std::shared_ptr<const Criteria>
Criteria::parse(const QString& text, const std::function<int(const QString&)>& columnIndex,
                QString* error) {
    QVector<Token> tokens;
    QString message;
    auto criteria = std::make_shared<Criteria>();
    if (text.trimmed().isEmpty())
        message = QStringLiteral("Empty criteria.");
    else if (tokenize(text, &tokens, &message)) {
        CriteriaParser parser(criteria.get(), tokens, columnIndex);
        if (parser.run(&message))
            return criteria;
    }
    if (error)
        *error = QStringLiteral("Invalid criteria \"%1\": %2").arg(text, message);
    return nullptr;
}

std::shared_ptr<const Criteria>
Criteria::allEqual(const QVector<std::pair<int, QVariant>>& columnValues) {
    auto criteria = std::make_shared<Criteria>();
    for (const auto& [column, value] : columnValues) {
        Node node;
        node.kind = Node::Compare;
        node.op = Node::Eq;
        node.a.column = column;
        node.b.literal = value;
        // Text reads as a number where a quoted literal would ('6' equals 6.0).
        node.b.literalIsNumber = value.typeId() == QMetaType::QString
                                     ? parseNumber(value.toString(), &node.b.literalNumber)
                                     : toNumber(value, &node.b.literalNumber);
        criteria->m_nodes.append(node);
        const int added = int(criteria->m_nodes.size()) - 1;
        if (criteria->m_root < 0) {
            criteria->m_root = added;
            continue;
        }
        Node both;
        both.kind = Node::And;
        both.left = criteria->m_root;
        both.right = added;
        criteria->m_nodes.append(both);
        criteria->m_root = int(criteria->m_nodes.size()) - 1;
    }
    return criteria;
}

bool Criteria::matches(const QVariantList& row) const {
    return m_root >= 0 && eval(m_root, row) == Tri::True;
}

namespace {

const QVariant& operandValue(const Criteria::Operand& o, const QVariantList& row) {
    static const QVariant null;
    if (o.column < 0)
        return o.literal;
    return o.column < row.size() ? row.at(o.column) : null;
}

// <0, 0, >0; compares as numbers when one side is a number and the other one is (or reads
// as) a number too, else as text without regard to letter case.
int compareValues(const Criteria::Operand& ao, const QVariant& a, const Criteria::Operand& bo,
                  const QVariant& b) {
    double x = 0, y = 0;
    const bool aNum = ao.column < 0 ? ao.literalIsNumber : toNumber(a, &x);
    const bool isNumber = bo.column < 0 ? bo.literalIsNumber : toNumber(b, &y);
    if (ao.column < 0)
        x = ao.literalNumber;
    if (bo.column < 0)
        y = bo.literalNumber;
    const bool aText = a.typeId() == QMetaType::QString;
    const bool isText = b.typeId() == QMetaType::QString;
    // Two texts compare as texts even when they read as numbers ('0800' <> '800').
    bool numeric = false;
    if (aNum && isNumber && !(aText && isText))
        numeric = true;
    else if (aNum && !aText && isText)
        numeric = parseNumber(b.toString(), &y);
    else if (isNumber && !isText && aText)
        numeric = parseNumber(a.toString(), &x);
    if (numeric)
        return x < y ? -1 : (x > y ? 1 : 0);
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
}

} // namespace

Criteria::Tri Criteria::eval(int index, const QVariantList& row) const {
    const Node& n = m_nodes.at(index);
    switch (n.kind) {
    case Node::Or: {
        const Tri l = eval(n.left, row);
        if (l == Tri::True)
            return Tri::True;
        const Tri r = eval(n.right, row);
        if (r == Tri::True)
            return Tri::True;
        return l == Tri::Unknown || r == Tri::Unknown ? Tri::Unknown : Tri::False;
    }
    case Node::And: {
        const Tri l = eval(n.left, row);
        if (l == Tri::False)
            return Tri::False;
        const Tri r = eval(n.right, row);
        if (r == Tri::False)
            return Tri::False;
        return l == Tri::Unknown || r == Tri::Unknown ? Tri::Unknown : Tri::True;
    }
    case Node::Not: {
        const Tri v = eval(n.left, row);
        return v == Tri::Unknown ? v : (v == Tri::True ? Tri::False : Tri::True);
    }
    case Node::IsNull: {
        const QVariant& v = operandValue(n.a, row);
        return (v.isNull() != n.negate) ? Tri::True : Tri::False;
    }
    case Node::Truth: {
        const QVariant& v = operandValue(n.a, row);
        if (v.isNull())
            return Tri::Unknown;
        double d = 0;
        if (n.a.column < 0 && n.a.literalIsNumber)
            return n.a.literalNumber != 0 ? Tri::True : Tri::False;
        if (n.a.column >= 0 && toNumber(v, &d))
            return d != 0 ? Tri::True : Tri::False;
        return parseNumber(v.toString(), &d) && d != 0 ? Tri::True : Tri::False;
    }
    case Node::Like: {
        const QVariant& v = operandValue(n.a, row);
        const QVariant& p = operandValue(n.b, row);
        if (v.isNull() || p.isNull())
            return Tri::Unknown;
        const bool m =
            n.pattern ? n.pattern->matches(v.toString())
                      : LikePattern(p.toString(), LikePattern::Dialect::Jet).matches(v.toString());
        return m != n.negate ? Tri::True : Tri::False;
    }
    case Node::Compare: {
        const QVariant& a = operandValue(n.a, row);
        const QVariant& b = operandValue(n.b, row);
        if (a.isNull() || b.isNull())
            return Tri::Unknown;
        const int c = compareValues(n.a, a, n.b, b);
        bool r = false;
        switch (n.op) {
        case Node::Eq:
            r = c == 0;
            break;
        case Node::Ne:
            r = c != 0;
            break;
        case Node::Lt:
            r = c < 0;
            break;
        case Node::Gt:
            r = c > 0;
            break;
        case Node::Le:
            r = c <= 0;
            break;
        case Node::Ge:
            r = c >= 0;
            break;
        }
        return r ? Tri::True : Tri::False;
    }
    }
    return Tri::False;
}

} // namespace velmara::storage
