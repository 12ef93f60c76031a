#include "charger.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace sim {

std::string Reply::bytes() const {
    std::string out;
    for (const std::string& p : pieces) {
        out += p;
    }
    return out;
}

Charger::Charger(const ChargerOptions& options) : model_(options.model), rng_(options.seed) {
    for (int n = 1; n <= 4; ++n) {
        channels_.emplace_back(n, model_);
    }
    for (int n = 1; n <= channelCount(); ++n) {
        if (options.batteries[n - 1]) {
            channels_[n - 1].insert(*options.batteries[n - 1], rng_);
        }
    }
}

std::vector<Reply> Charger::receive(std::string_view bytes) {
    std::vector<Reply> replies;
    for (const std::string& body : reader_.feed(bytes)) {
        if (auto reply = handle(body)) {
            replies.push_back(std::move(*reply));
        }
    }
    return replies;
}

std::optional<Reply> Charger::handle(std::string_view body) {
    std::optional<std::string> payload = answer(body);
    if (log_) {
        log_->push_back("<- " + std::string(body));
        log_->push_back("-> " + (payload ? *payload : std::string("(silent)")));
    }
    if (!payload) {
        return std::nullopt;
    }
    return shape(*payload);
}

std::optional<std::string> Charger::answer(std::string_view body) {
    if (body.size() < 5 || body.substr(0, 2) != "00" || body[3] != ',') {
        return std::nullopt;
    }
    int number = body[2] - '0';
    if (number < 1 || number > channelCount() || silent_[number - 1]) {
        return std::nullopt; // a channel the charger lacks never answers
    }
    Channel& ch = channel(number);
    std::string_view command = body.substr(4);
    if (command == "M") {
        return ch.answerStatus();
    }
    if (command == "D") {
        return ch.answerEndValues();
    }
    if (command == "W") {
        return ch.answerProgramRequest();
    }
    if (command.substr(0, 2) == "P,") {
        return ch.answerProgramText(body);
    }
    return std::nullopt;
}

Reply Charger::shape(const std::string& payload) {
    Reply reply;
    std::string frame = frameAnswer(payload);
    if (garbage_ > 0) {
        --garbage_;
        // printable noise closed by an ETX: no DC4, so no frame the computer can accept
        std::uniform_int_distribution<int> length(4, 20);
        std::uniform_int_distribution<int> printable(0x21, 0x7e);
        frame.clear();
        for (int i = length(rng_); i > 0; --i) {
            frame.push_back(static_cast<char>(printable(rng_)));
        }
        frame.push_back(ETX);
    }
    if (late_ > 0) {
        --late_;
        reply.delayMs = lateMs_;
    }
    if (split_ > 0 && frame.size() >= 3) {
        --split_;
        size_t third = frame.size() / 3;
        reply.pieces = {frame.substr(0, third), frame.substr(third, third),
                        frame.substr(2 * third)};
        reply.pauseMs = 30;
    } else {
        reply.pieces = {frame};
    }
    return reply;
}

void Charger::advance(double seconds) {
    now_ += seconds;
    for (int n = 1; n <= channelCount(); ++n) {
        channel(n).advance(seconds);
    }
}

std::string Charger::stateReport() const {
    std::string out = "time " + std::to_string(static_cast<long>(now_)) + " s\n";
    for (int n = 1; n <= (model_ == Model::FourChannel ? 4 : 1); ++n) {
        out += channels_[n - 1].describe();
        if (silent_[n - 1]) {
            out += ", silent";
        }
        out += "\n";
    }
    return out;
}

namespace {

CommandResult error(const std::string& text) {
    return {false, false, text};
}

bool readInt(std::istringstream& in, int& out) {
    return static_cast<bool>(in >> out);
}

} // namespace

std::string Charger::demoProgram(int number) const {
    if (number < 1 || number > channelCount() || !channels_[number - 1].hasBattery()) {
        return {};
    }
    const BatteryParams& b = channels_[number - 1].battery()->params();
    static const int kModes[] = {1, 4, 2, 5};
    const int maxMa = model_ == Model::FourChannel ? 5000 : 10000;
    const int current = std::clamp(b.capacityMah / 2, 50, maxMa);
    const int nominalMv =
        std::min(static_cast<int>(b.cells * nominalCellVolts(b.chemistry) * 1000 + 0.5), 60000);
    char text[96];
    std::snprintf(text, sizeof text, "%03d,P,A%02d,M%02d,Z%02d,F2,W30,L%05d,E%05d,V%05d,D00000",
                  number, static_cast<int>(b.chemistry), kModes[number - 1], b.cells, current,
                  current, nominalMv);
    return text;
}

CommandResult Charger::command(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::string word;
    if (!(in >> word) || word[0] == '#') {
        return {};
    }
    auto channelArg = [&](int& n) { return readInt(in, n) && n >= 1 && n <= channelCount(); };
    // silent/talk take a channel number, "all" or nothing (all)
    auto channelsArg = [&](std::vector<int>& list) {
        std::string which;
        if (!(in >> which) || which == "all") {
            for (int n = 1; n <= channelCount(); ++n) {
                list.push_back(n);
            }
            return true;
        }
        try {
            int n = std::stoi(which);
            if (n >= 1 && n <= channelCount()) {
                list.push_back(n);
                return true;
            }
        } catch (...) {
        }
        return false;
    };

    int n = 0;
    if (word == "start") {
        // A program text as the computer sends it, as if set at the charger's keys:
        // the echo or refusal goes to stdout, and the channel reports the program
        // it accepted in place of its next status answer.
        std::string text;
        if (!(in >> text)) {
            return error("usage: start CCC,P,...");
        }
        const int number = text.size() > 3 && text.compare(0, 2, "00") == 0 ? text[2] - '0' : 0;
        const bool known = number >= 1 && number <= channelCount();
        const int acceptedBefore = known ? channel(number).programsAccepted() : 0;
        std::optional<Reply> reply = handle(text);
        if (known && channel(number).programsAccepted() != acceptedBefore) {
            channel(number).reportProgramOnNextStatus();
        }
        CommandResult result;
        result.output = reply ? reply->bytes() : std::string("(no answer)");
        for (char& c : result.output) {
            if (static_cast<unsigned char>(c) < 0x20) {
                c = ' ';
            }
        }
        result.output += "\n";
        return result;
    }
    if (word == "insert") {
        std::string chemistry;
        int cells = 0, capacity = 0;
        double soc = 50;
        if (!channelArg(n) || !(in >> chemistry) || !readInt(in, cells) || !readInt(in, capacity)) {
            return error("usage: insert CH CHEM CELLS CAPACITY_mAh [SOC%]");
        }
        if (!(in >> soc)) {
            soc = 50;
        }
        auto chem = chemistryFromName(chemistry);
        if (!chem || cells < 1 || cells > 40 || capacity < 10 || soc < 0 || soc > 100) {
            return error("insert: bad battery");
        }
        channel(n).insert({*chem, cells, capacity, soc}, rng_);
        return {};
    }
    if (word == "remove") {
        if (!channelArg(n)) {
            return error("usage: remove CH");
        }
        channel(n).remove();
        return {};
    }
    if (word == "fault") {
        std::string code;
        if (!channelArg(n) || !(in >> code) || !isFaultCode(code)) {
            return error("usage: fault CH SP|SK|SG|SQT|SQV|SQR|SQU|SQP|SQS");
        }
        channel(n).injectFault(code);
        return {};
    }
    if (word == "clear") {
        if (!channelArg(n)) {
            return error("usage: clear CH");
        }
        channel(n).clear();
        return {};
    }
    if (word == "silent" || word == "talk") {
        std::vector<int> list;
        if (!channelsArg(list)) {
            return error("usage: " + word + " [CH|all]");
        }
        for (int c : list) {
            silent_[c - 1] = word == "silent";
        }
        return {};
    }
    if (word == "garbage" || word == "split") {
        if (!readInt(in, n) || n < 0) {
            return error("usage: " + word + " N");
        }
        (word == "garbage" ? garbage_ : split_) = n;
        return {};
    }
    if (word == "late") {
        int ms = 0;
        if (!readInt(in, n) || !readInt(in, ms) || n < 0 || ms < 0) {
            return error("usage: late N MS");
        }
        late_ = n;
        lateMs_ = ms;
        return {};
    }
    if (word == "state") {
        return {true, false, stateReport()};
    }
    if (word == "quit") {
        return {true, true, {}};
    }
    return error("unknown command: " + word);
}

} // namespace sim
