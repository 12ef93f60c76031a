// velmara-charger-sim: a battery charger with 1 or 4 channels on a pseudo-terminal.
#include "charger.h"
#include "pty_link.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) {
    g_stop = 1;
}

const char* const kHelp = R"(usage: velmara-charger-sim --link PATH [options]

Simulates the computer-controlled battery charger on a pseudo-terminal. PATH becomes a
symbolic link to the terminal's device (9600 baud, 7 data bits, even parity, 1 stop bit);
a program opens PATH as its serial port. When the last program has closed PATH, or died
with it open, the line is put back as at start (line settings, no exclusive use, nothing
left unread) for the next one. The simulator serves until it gets SIGINT or SIGTERM or
reads "quit", and then removes PATH.

Options:
  --link PATH        symbolic link to create for the pseudo-terminal (required)
  --channels 1|4     one-channel or four-channel charger (default 4); a one-channel
                     charger never answers for channels 2 to 4
  --speed F          simulated seconds per real second (default 1), e.g. 600 or 3000
  --line-time        hold every answer back by its time on the line at 9600 baud,
                     10 bits a character (bytes * 10 / 9600 s)
  --seed N           seed of the batteries' spread and of garbage (default 1)
  --battery CH,CHEM,CELLS,CAPACITY[,SOC]
                     battery inserted in channel CH at start (repeatable); defaults:
                     1 NiMH,6,2000,20  2 LiPo,3,2200,40  3 lead,6,7000,60  4 NiCd,8,1700,10
  --empty CH         channel CH starts without a battery (repeatable)
  --script FILE      control commands at simulated times, one per line:
                     "AT_SECONDS command ..." (e.g. "3600 remove 2"); # starts a comment
  --demo             start a program on every channel with a battery right away
                     (1 charge, 2 charge-discharge-charge, 3 discharge, 4 cycling, at 0.5 C)
  --verbose          log every request and answer to standard error
  --help             this text

Chemistries (CHEM): NiCd, NiMH, lead (Pb), LiIon, LiPo, LiFePO4, NiZn, or the battery
type numbers 1-4, 6-8.

Control commands, one a line on standard input (end of input does not stop the simulator):
  insert CH CHEM CELLS CAPACITY_mAh [SOC%]   put a battery into channel CH (idle, SA)
  remove CH                                  take it out: the channel answers SK
  fault CH CODE                              the channel reports CODE (SP SK SG SQT SQV
                                             SQR SQU SQP SQS) and refuses programs
  clear CH                                   end an injected fault; the channel is idle
  silent [CH|all]                            the channel (default all) stops answering
  talk [CH|all]                              ... and answers again
  garbage N                                  answer the next N requests with garbage bytes
  split N                                    send the next N answers in three pieces,
                                             30 ms apart
  late N MS                                  answer the next N requests MS ms late
  start CCC,P,...                            run a program text as if set at the charger's
                                             keys; prints the charger's answer, and the
                                             channel reports the program in place of its
                                             next status answer
  state                                      print every channel's state to standard output
  quit                                       remove the link and stop
)";

struct ScriptLine {
    double at;
    std::string command;
};

bool parseBattery(const std::string& text, sim::ChargerOptions& options) {
    std::vector<std::string> parts = sim::splitFields(text);
    if (parts.size() < 4 || parts.size() > 5) {
        return false;
    }
    try {
        int ch = std::stoi(parts[0]);
        auto chemistry = sim::chemistryFromName(parts[1]);
        sim::BatteryParams params{chemistry.value_or(sim::Chemistry::NiMH), std::stoi(parts[2]),
                                  std::stoi(parts[3]),
                                  parts.size() == 5 ? std::stod(parts[4]) : 50.0};
        if (ch < 1 || ch > 4 || !chemistry || params.cells < 1 || params.capacityMah < 10) {
            return false;
        }
        options.batteries[ch - 1] = params;
        return true;
    } catch (...) {
        return false;
    }
}

bool readScript(const std::string& path, std::vector<ScriptLine>& lines) {
    std::ifstream in(path);
    if (!in) {
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::istringstream words(line);
        double at = 0;
        std::string first;
        if (!(words >> first) || first[0] == '#') {
            continue;
        }
        try {
            at = std::stod(first);
        } catch (...) {
            std::cerr << path << ":" << number << ": line does not start with a time\n";
            return false;
        }
        std::string rest;
        std::getline(words, rest);
        lines.push_back({at, rest});
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const ScriptLine& a, const ScriptLine& b) { return a.at < b.at; });
    return true;
}

struct Pending {
    Clock::time_point due;
    std::string bytes;
};

} // namespace

int main(int argc, char** argv) {
    sim::ChargerOptions options;
    std::string linkPath;
    std::string scriptPath;
    double speed = 1.0;
    bool lineTime = false;
    bool verbose = false;
    bool demo = false;

    std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) {
                std::cerr << "velmara-charger-sim: " << a << " needs a value\n";
                std::exit(2);
            }
            return args[++i];
        };
        try {
            if (a == "--help" || a == "-h") {
                std::cout << kHelp;
                return 0;
            } else if (a == "--link") {
                linkPath = value();
            } else if (a == "--channels") {
                std::string c = value();
                if (c != "1" && c != "4") {
                    std::cerr << "velmara-charger-sim: --channels is 1 or 4\n";
                    return 2;
                }
                options.model = c == "1" ? sim::Model::OneChannel : sim::Model::FourChannel;
            } else if (a == "--speed") {
                speed = std::stod(value());
                if (!(speed > 0)) {
                    std::cerr << "velmara-charger-sim: --speed must be positive\n";
                    return 2;
                }
            } else if (a == "--line-time") {
                lineTime = true;
            } else if (a == "--seed") {
                options.seed = static_cast<std::uint32_t>(std::stoul(value()));
            } else if (a == "--battery") {
                if (!parseBattery(value(), options)) {
                    std::cerr << "velmara-charger-sim: bad --battery " << args[i] << "\n";
                    return 2;
                }
            } else if (a == "--empty") {
                int ch = std::stoi(value());
                if (ch < 1 || ch > 4) {
                    std::cerr << "velmara-charger-sim: bad --empty " << args[i] << "\n";
                    return 2;
                }
                options.batteries[ch - 1].reset();
            } else if (a == "--script") {
                scriptPath = value();
            } else if (a == "--verbose") {
                verbose = true;
            } else if (a == "--demo") {
                demo = true;
            } else {
                std::cerr << "velmara-charger-sim: unknown option " << a << " (see --help)\n";
                return 2;
            }
        } catch (const std::exception&) {
            std::cerr << "velmara-charger-sim: bad value for " << a << "\n";
            return 2;
        }
    }
    if (linkPath.empty()) {
        std::cerr << "velmara-charger-sim: --link PATH is required (see --help)\n";
        return 2;
    }
    std::vector<ScriptLine> script;
    if (!scriptPath.empty() && !readScript(scriptPath, script)) {
        std::cerr << "velmara-charger-sim: cannot read script " << scriptPath << "\n";
        return 2;
    }

    sim::Charger charger(options);
    std::vector<std::string> log;
    if (verbose) {
        charger.setLog(&log);
    }
    if (demo) {
        for (int n = 1; n <= charger.channelCount(); ++n) {
            const std::string program = charger.demoProgram(n);
            if (!program.empty()) {
                charger.handle(program);
            }
        }
    }

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    sim::PtyLink link;
    if (!link.open(linkPath)) {
        std::cerr << "velmara-charger-sim: " << link.error() << "\n";
        return 1;
    }
    std::cerr << "velmara-charger-sim: " << linkPath << " -> " << link.slaveName() << ", "
              << charger.channelCount() << " channel(s), speed " << speed << "\n";

    bool stdinOpen = true;
    fcntl(STDIN_FILENO, F_SETFL, fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK);
    std::string stdinBuffer;
    size_t scriptNext = 0;
    std::deque<Pending> out;
    Clock::time_point lineFree = Clock::now();
    Clock::time_point last = Clock::now();
    bool quit = false;

    auto runCommand = [&](const std::string& line) {
        sim::CommandResult r = charger.command(line);
        if (!r.ok) {
            std::cerr << "velmara-charger-sim: " << r.output << "\n";
        } else if (!r.output.empty()) {
            std::cout << r.output << std::flush;
        }
        if (r.quit) {
            quit = true;
        }
    };
    auto flushLog = [&] {
        for (const std::string& l : log) {
            std::cerr << l << "\n";
        }
        log.clear();
    };

    while (!g_stop && !quit) {
        // Simulated time, with script commands at their moments.
        Clock::time_point now = Clock::now();
        double target = charger.now() + std::chrono::duration<double>(now - last).count() * speed;
        last = now;
        while (scriptNext < script.size() && script[scriptNext].at <= target) {
            if (script[scriptNext].at > charger.now()) {
                charger.advance(script[scriptNext].at - charger.now());
            }
            runCommand(script[scriptNext++].command);
        }
        if (target > charger.now()) {
            charger.advance(target - charger.now());
        }

        // Answers that are due.
        while (!out.empty() && out.front().due <= now) {
            const std::string& bytes = out.front().bytes;
            if (write(link.masterFd(), bytes.data(), bytes.size()) < 0 && errno != EAGAIN) {
                std::cerr << "velmara-charger-sim: write: " << std::strerror(errno) << "\n";
            }
            out.pop_front();
        }

        int timeoutMs = 10;
        if (!out.empty()) {
            auto wait =
                std::chrono::duration_cast<std::chrono::milliseconds>(out.front().due - now);
            timeoutMs = std::clamp(static_cast<int>(wait.count()), 0, 10);
        }
        pollfd fds[3] = {{link.masterFd(), POLLIN, 0},
                         {link.clientWatchFd(), POLLIN, 0},
                         {STDIN_FILENO, POLLIN, 0}};
        int n = poll(fds, stdinOpen ? 3 : 2, timeoutMs);
        if (n < 0) {
            continue; // a signal
        }
        // Before any request is read: a program that has gone takes its
        // pending answers along, and the next one finds the line as at start.
        if ((fds[1].revents & POLLIN) && link.clientsChanged()) {
            out.clear();
            lineFree = Clock::now();
        }
        if (fds[0].revents & POLLIN) {
            char buffer[512];
            ssize_t got = read(link.masterFd(), buffer, sizeof buffer);
            if (got > 0) {
                // bring the battery up to this moment before answering
                Clock::time_point at = Clock::now();
                charger.advance(std::chrono::duration<double>(at - last).count() * speed);
                last = at;
                for (sim::Reply& reply : charger.receive(std::string_view(buffer, got))) {
                    Clock::time_point t =
                        std::max(at, lineFree) + std::chrono::milliseconds(reply.delayMs);
                    for (size_t i = 0; i < reply.pieces.size(); ++i) {
                        if (i > 0) {
                            t += std::chrono::milliseconds(reply.pauseMs);
                        }
                        if (lineTime) {
                            t += std::chrono::microseconds(reply.pieces[i].size() * 10 * 1000000 /
                                                           9600);
                        }
                        out.push_back({t, reply.pieces[i]});
                    }
                    lineFree = t;
                }
                flushLog();
            }
        }
        if (stdinOpen && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            char buffer[512];
            ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
            if (got > 0) {
                stdinBuffer.append(buffer, static_cast<size_t>(got));
                size_t nl;
                while ((nl = stdinBuffer.find('\n')) != std::string::npos) {
                    std::string line = stdinBuffer.substr(0, nl);
                    stdinBuffer.erase(0, nl + 1);
                    runCommand(line);
                }
            } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                stdinOpen = false; // end of input: keep serving
            }
        }
    }
    link.close();
    return 0;
}
