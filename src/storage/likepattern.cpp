#include "storage/likepattern.h"

namespace velmara::storage {

namespace {

QChar fold(QChar c) {
    return c.toCaseFolded();
}

} // namespace

LikePattern::LikePattern(const QString& pattern, Dialect dialect, QChar escape) {
    const int n = int(pattern.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = pattern.at(i);
        Item item;
        if (dialect == Dialect::Sql) {
            if (!escape.isNull() && c == escape && i + 1 < n) {
                item.ch = fold(pattern.at(++i));
            } else if (c == QLatin1Char('%')) {
                item.kind = Item::Any;
            } else if (c == QLatin1Char('_')) {
                item.kind = Item::One;
            } else {
                item.ch = fold(c);
            }
        } else if (c == QLatin1Char('*') || c == QLatin1Char('%')) {
            item.kind = Item::Any;
        } else if (c == QLatin1Char('?') || c == QLatin1Char('_')) {
            item.kind = Item::One;
        } else if (c == QLatin1Char('#')) {
            item.kind = Item::Digit;
        } else if (c == QLatin1Char('[') && pattern.indexOf(QLatin1Char(']'), i + 1) > i) {
            const int close = int(pattern.indexOf(QLatin1Char(']'), i + 1));
            QString body = pattern.mid(i + 1, close - i - 1);
            i = close;
            if (body.isEmpty())
                continue; // [] matches nothing at all: the empty string
            item.kind = Item::Set;
            if (body.size() > 1 && body.at(0) == QLatin1Char('!')) {
                item.negate = true;
                body.remove(0, 1);
            }
            for (int k = 0; k < body.size(); ++k) {
                QChar low = fold(body.at(k));
                QChar high = low;
                if (k + 2 < body.size() && body.at(k + 1) == QLatin1Char('-')) {
                    high = fold(body.at(k + 2));
                    k += 2;
                }
                item.set += low;
                item.set += high;
            }
        } else {
            item.ch = fold(c);
        }
        if (item.kind == Item::Any && !m_items.isEmpty() && m_items.last().kind == Item::Any)
            continue;
        m_items.append(item);
    }
}

bool LikePattern::itemMatches(const Item& item, QChar c) const {
    switch (item.kind) {
    case Item::Char:
        return fold(c) == item.ch;
    case Item::One:
        return true;
    case Item::Digit:
        return c.isDigit();
    case Item::Set: {
        const QChar f = fold(c);
        bool in = false;
        for (int k = 0; k + 1 < item.set.size() && !in; k += 2)
            in = item.set.at(k) <= f && f <= item.set.at(k + 1);
        return in != item.negate;
    }
    case Item::Any:
        break;
    }
    return false;
}

bool LikePattern::matches(const QString& text) const {
    const int n = int(text.size());
    const int m = int(m_items.size());
    int p = 0, t = 0, starP = -1, starT = 0;
    while (t < n) {
        if (p < m && m_items.at(p).kind == Item::Any) {
            starP = p++;
            starT = t;
            continue;
        }
        if (p < m && itemMatches(m_items.at(p), text.at(t))) {
            ++p;
            ++t;
            continue;
        }
        if (starP < 0)
            return false;
        p = starP + 1;
        t = ++starT;
    }
    while (p < m && m_items.at(p).kind == Item::Any)
        ++p;
    return p == m;
}

} // namespace velmara::storage
