// A battery as the charger sees it from its terminals: open-circuit voltage by state of
// charge, internal resistance, charge acceptance, overcharge heating, self-discharge.
#pragma once

#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace sim {

// Numbers are the battery-type numbers of the program's A field (5 is "preset voltages").
enum class Chemistry { NiCd = 1, NiMH = 2, Lead = 3, LiIon = 4, LiPo = 6, LiFePO4 = 7, NiZn = 8 };

std::optional<Chemistry> chemistryFromName(std::string_view name); // "NiMH", "lead", "2", ...
// The nominal voltage of one cell, as the battery-type table of the program lists it.
double nominalCellVolts(Chemistry chemistry);
std::string_view chemistryName(Chemistry c);
std::optional<Chemistry> chemistryFromType(int typeNumber);

// How the charger handles a chemistry when a program names it as battery type.
struct ChemistryRules {
    bool deltaPeak;         // NiCd, NiMH: end of charge at -dV after the peak
    double deltaMvPerCell;  // -dV threshold
    double endOfChargeCell; // CC/CV types: end-of-charge voltage per cell
    double endOfDischargeCell;
    double maxCell; // above this while charging: voltage too high (SQV)
    double minCell; // below this at start: voltage too low (SQU)
    double storageLevel;
};
const ChemistryRules& rulesFor(Chemistry c);

struct BatteryParams {
    Chemistry chemistry = Chemistry::NiMH;
    int cells = 6;
    int capacityMah = 2000;
    double socPercent = 20;
};

class Battery {
public:
    // `rng` varies the actual capacity, resistance and self-discharge of this individual battery.
    Battery(const BatteryParams& params, std::mt19937& rng);

    const BatteryParams& params() const { return params_; }
    double actualCapacityMah() const { return capacityMah_; }
    double chargeMah() const { return chargeMah_; }
    double soc() const { return chargeMah_ / capacityMah_; }
    double resistanceOhm() const { return resistance_; }
    // Resistance plus charge polarisation: what the charger sees while charging.
    double chargeResistanceOhm() const { return resistance_ + polarisation_; }

    // Terminal voltage in volts for a current in amperes (positive charging, negative
    // discharging, 0 at rest).
    double terminalVoltage(double currentA) const;
    // The source voltage behind the internal resistance while charging.
    double chargeEmf() const;

    // Lets `currentA` flow for `seconds`, with self-discharge and cooling.
    void step(double seconds, double currentA);

private:
    BatteryParams params_;
    double capacityMah_;
    double chargeMah_;
    double resistance_;        // whole pack, ohm
    double polarisation_;      // whole pack, ohm, only while charging
    double selfDischargePerS_; // fraction of the charge lost per second
    double overcharge_ = 0;    // fraction of capacity pushed in past full (NiCd, NiMH), heats
};

} // namespace sim
