// The charger's side of the serial protocol: request frames in, answer frames out,
// and the program text as the charger reads it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

inline constexpr char DC2 = 0x12;
inline constexpr char DC4 = 0x14;
inline constexpr char ETX = 0x03;
inline constexpr char CR = 0x0D;

// Collects bytes from the line and cuts them into request bodies.
// A request is DC2 "," body "," ETX, optionally followed by CR. Bytes before a DC2
// are line noise and dropped; a new DC2 restarts the frame.
class RequestReader {
public:
    // Appends bytes; returns the bodies of all requests completed by them.
    std::vector<std::string> feed(std::string_view bytes);
    // Bytes of an unfinished request.
    const std::string& pending() const { return buffer_; }

private:
    std::string buffer_;
    bool inFrame_ = false;
};

// DC4 "," payload "," ETX
std::string frameAnswer(std::string_view payload);
// DC2 "," body "," ETX CR (the computer's side; used by tests and demo scripts)
std::string frameRequest(std::string_view body);

// Zero-padded decimal field: fixed(42, 5) == "00042". Values are clamped to 0 and
// to the largest number of that width.
std::string fixed(long value, int width);

std::vector<std::string> splitFields(std::string_view text);

enum class Model { OneChannel, FourChannel };

struct Program {
    std::string text; // exactly as received, starting with the channel code
    int channel = 0;  // 1..4
    int type = 0;     // 1..8, 5 = preset voltages
    int mode = 0;     // 1..8
    int cells = 0;
    std::optional<int> percent;            // P
    int cycles = 0;                        // F code (0 counts as one cycle)
    int repeat = 30;                       // W, storage period in days in mode 6
    std::optional<int> capacityMah;        // K
    int chargeMa = 0;                      // L
    int dischargeMa = 0;                   // E
    int chargeMv = 0;                      // V
    int dischargeMv = 0;                   // D
    std::optional<int> selfDischargeHours; // Y, converted to hours
    bool extended = false;                 // S,C,B,H,N present
    bool locked = false;
    bool withoutLoad = false;
    int leadMode = 0;
    int liionMode = 0;
    int endShare = 100;    // N, tenths of a percent of the charge current
    bool switches = false; // O,Q,U present
    int o = 0, q = 0, u = 0;

    bool hasTarget() const { return percent.has_value() && capacityMah.has_value(); }
};

// Reads a program text ("ccc,P,A..,M..,...") as the charger does. Returns nothing when
// a field is missing, out of order, of the wrong width or out of range; `why` then says
// what was wrong.
std::optional<Program> parseProgram(std::string_view text, Model model, std::string* why = nullptr);

} // namespace sim
