#pragma once
// Find criteria of the record sets ("[Nr]=5", "key Like 'X*'", "A = 'x' AND NOT B"),
// parsed once and evaluated over rows in memory.
#include "storage/likepattern.h"

#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <utility>

namespace velmara::storage {

class Criteria {
public:
    // Parses text; column names are resolved through columnIndex (-1: unknown column).
    // Null with *error on a syntax error or an unknown column.
    static std::shared_ptr<const Criteria>
    parse(const QString& text, const std::function<int(const QString&)>& columnIndex,
          QString* error);

    // Rows whose columns equal the values, compared as "=" compares (text without
    // regard to letter case, numbers as numbers). A null value matches no row;
    // no pairs at all match none either.
    static std::shared_ptr<const Criteria>
    allEqual(const QVector<std::pair<int, QVariant>>& columnValues);

    bool matches(const QVariantList& row) const;

    struct Operand {
        int column = -1; // >= 0: a column of the row, else the literal
        QVariant literal;
        bool literalIsNumber = false;
        double literalNumber = 0;
    };
    struct Node {
        enum Kind { Or, And, Not, Compare, Like, IsNull, Truth } kind = Truth;
        int left = -1, right = -1; // child nodes (Or, And, Not)
        Operand a, b;              // operands (Compare, Like, IsNull, Truth)
        enum Op { Eq, Ne, Lt, Gt, Le, Ge } op = Eq;
        bool negate = false;                  // NOT LIKE, IS NOT NULL
        std::shared_ptr<LikePattern> pattern; // constant pattern of Like
    };

private:
    enum class Tri { False, True, Unknown };
    Tri eval(int node, const QVariantList& row) const;

    QVector<Node> m_nodes;
    int m_root = -1;
    friend class CriteriaParser;
};

} // namespace velmara::storage
