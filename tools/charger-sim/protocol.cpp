#include "protocol.h"

#include <algorithm>
#include <cctype>

namespace sim {

std::vector<std::string> RequestReader::feed(std::string_view bytes) {
    std::vector<std::string> bodies;
    for (char c : bytes) {
        if (c == DC2) {
            buffer_.clear();
            inFrame_ = true;
            continue;
        }
        if (!inFrame_) {
            continue; // CR after a request, or noise
        }
        if (c == ETX) {
            inFrame_ = false;
            // buffer_ holds "," body ","
            if (buffer_.size() >= 2 && buffer_.front() == ',' && buffer_.back() == ',') {
                bodies.push_back(buffer_.substr(1, buffer_.size() - 2));
            }
            buffer_.clear();
            continue;
        }
        buffer_.push_back(c);
        if (buffer_.size() > 4096) { // no request is that long: resynchronise
            buffer_.clear();
            inFrame_ = false;
        }
    }
    return bodies;
}

std::string frameAnswer(std::string_view payload) {
    std::string out;
    out.reserve(payload.size() + 4);
    out += DC4;
    out += ',';
    out += payload;
    out += ',';
    out += ETX;
    return out;
}

std::string frameRequest(std::string_view body) {
    std::string out;
    out += DC2;
    out += ',';
    out += body;
    out += ',';
    out += ETX;
    out += CR;
    return out;
}

std::string fixed(long value, int width) {
    long limit = 1;
    for (int i = 0; i < width; ++i) {
        limit *= 10;
    }
    value = std::clamp(value, 0L, limit - 1);
    std::string digits = std::to_string(value);
    return std::string(static_cast<size_t>(width) - digits.size(), '0') + digits;
}

std::vector<std::string> splitFields(std::string_view text) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            fields.emplace_back(text.substr(start));
            break;
        }
        fields.emplace_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return fields;
}

namespace {

// Walks the fields of a program text; every read checks tag and width.
class FieldCursor {
public:
    explicit FieldCursor(std::vector<std::string> fields) : fields_(std::move(fields)) {}

    bool atEnd() const { return pos_ >= fields_.size(); }
    bool peekTag(std::string_view tag) const {
        return !atEnd() && fields_[pos_].compare(0, tag.size(), tag) == 0;
    }
    // Reads tag + exactly `width` digits.
    std::optional<int> take(std::string_view tag, int width) {
        if (!peekTag(tag)) {
            return std::nullopt;
        }
        const std::string& f = fields_[pos_];
        if (f.size() != tag.size() + static_cast<size_t>(width)) {
            return std::nullopt;
        }
        int value = 0;
        for (size_t i = tag.size(); i < f.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(f[i]))) {
                return std::nullopt;
            }
            value = value * 10 + (f[i] - '0');
        }
        ++pos_;
        return value;
    }

private:
    std::vector<std::string> fields_;
    size_t pos_ = 0;
};

struct CellRange {
    int type;
    int maxOne;
    int maxFour;
};
constexpr CellRange kCellRanges[] = {
    {1, 30, 24}, {2, 30, 24}, {3, 18, 12}, {4, 10, 7},
    {5, 30, 24}, {6, 10, 7},  {7, 12, 8},  {8, 20, 15},
};

bool fail(std::string* why, const char* text) {
    if (why) {
        *why = text;
    }
    return false;
}

bool readProgram(FieldCursor& c, Program& p, Model model, std::string* why) {
    auto need = [&](std::string_view tag, int width, int& out) {
        auto v = c.take(tag, width);
        if (v) {
            out = *v;
        }
        return v.has_value();
    };
    if (!need("A", 2, p.type) || !need("M", 2, p.mode) || !need("Z", 2, p.cells)) {
        return fail(why, "A, M or Z missing or malformed");
    }
    if (c.peekTag("P")) {
        p.percent = c.take("P", 3);
        if (!p.percent) {
            return fail(why, "P malformed");
        }
    }
    if (!need("F", 1, p.cycles) || !need("W", 2, p.repeat)) {
        return fail(why, "F or W missing or malformed");
    }
    if (c.peekTag("K")) {
        p.capacityMah = c.take("K", 5);
        if (!p.capacityMah) {
            return fail(why, "K malformed");
        }
    }
    if (!need("L", 5, p.chargeMa) || !need("E", 5, p.dischargeMa) || !need("V", 5, p.chargeMv) ||
        !need("D", 5, p.dischargeMv)) {
        return fail(why, "L, E, V or D missing or malformed");
    }
    if (c.peekTag("YH") || c.peekTag("YD")) {
        bool hours = c.peekTag("YH");
        auto period = c.take(hours ? "YH" : "YD", 3);
        if (!period) {
            return fail(why, "Y malformed");
        }
        p.selfDischargeHours = hours ? *period : *period * 24;
    }
    if (c.peekTag("S")) {
        int s = 0, cl = 0, n = 0;
        if (!need("S", 1, s) || !need("C", 1, cl) || !need("B", 1, p.leadMode) ||
            !need("H", 1, p.liionMode) || !need("N", 3, n)) {
            return fail(why, "extended block incomplete");
        }
        p.extended = true;
        p.locked = s != 1;
        p.withoutLoad = cl == 1;
        p.endShare = n == 0 ? 100 : n;
        if (c.peekTag("O")) {
            auto o = c.take("O", 1);
            auto q = c.take("Q", 1);
            auto u = c.take("U", 1);
            if (!o || !q || !u || *o > 1 || *q > 1 || *u > 1) {
                return fail(why, "switches O, Q, U incomplete");
            }
            p.switches = true;
            p.o = *o;
            p.q = *q;
            p.u = *u;
        }
    }
    if (!c.atEnd()) {
        return fail(why, "unexpected field after the program");
    }

    // Ranges.
    if (p.type < 1 || p.type > 8) {
        return fail(why, "battery type out of range");
    }
    if (p.mode < 1 || p.mode > 8) {
        return fail(why, "device mode out of range");
    }
    const CellRange& range = kCellRanges[p.type - 1];
    int maxCells = model == Model::OneChannel ? range.maxOne : range.maxFour;
    if (p.cells < 1 || p.cells > maxCells) {
        return fail(why, "cell count out of range");
    }
    int maxCurrent = model == Model::OneChannel ? 10000 : 5000;
    if (p.chargeMa < 50 || p.chargeMa > maxCurrent || p.dischargeMa < 50 ||
        p.dischargeMa > maxCurrent) {
        return fail(why, "current out of range");
    }
    if (p.chargeMv > 60000 || p.dischargeMv > 60000) {
        return fail(why, "voltage out of range");
    }
    if (p.percent.has_value() != p.capacityMah.has_value()) {
        return fail(why, "P and K belong together");
    }
    if (p.capacityMah && *p.capacityMah == 0) {
        return fail(why, "target capacity 0");
    }
    return true;
}

} // namespace

std::optional<Program> parseProgram(std::string_view text, Model model, std::string* why) {
    std::vector<std::string> fields = splitFields(text);
    if (fields.size() < 2 || fields[1] != "P") {
        fail(why, "not a program text");
        return std::nullopt;
    }
    const std::string& code = fields[0];
    if (code.size() != 3 || code[0] != '0' || code[1] != '0' || code[2] < '1' || code[2] > '4') {
        fail(why, "bad channel code");
        return std::nullopt;
    }
    Program p;
    p.text = std::string(text);
    p.channel = code[2] - '0';
    fields.erase(fields.begin(), fields.begin() + 2);
    FieldCursor cursor(std::move(fields));
    if (!readProgram(cursor, p, model, why)) {
        return std::nullopt;
    }
    return p;
}

} // namespace sim
