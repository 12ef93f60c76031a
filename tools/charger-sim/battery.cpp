#include "battery.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

namespace sim {

namespace {

// State-of-charge points of the voltage tables below.
constexpr std::array<double, 13> kSocPoints = {0.0, 0.05, 0.1, 0.2, 0.3,  0.4, 0.5,
                                               0.6, 0.7,  0.8, 0.9, 0.95, 1.0};
using Curve = std::array<double, 13>;

struct ChemistryData {
    Chemistry chemistry;
    const char* name;
    Curve rest;              // cell voltage at rest and while discharging (before I*R)
    Curve charge;            // cell voltage while charging (before I*R), polarisation included
    double resistanceMohmAh; // cell resistance times capacity
    double polarisationAt1C; // extra volts per cell while charging at 1 C (lithium)
    double chargeEfficiency; // below 80 % state of charge
    double selfDischargePerMonth;
    ChemistryRules rules;
};

// clang-format off
const ChemistryData kData[] = {
    {Chemistry::NiCd, "NiCd",
     {0.80, 1.05, 1.12, 1.17, 1.19, 1.20, 1.21, 1.22, 1.23, 1.24, 1.26, 1.28, 1.32},
     {1.25, 1.31, 1.34, 1.37, 1.38, 1.39, 1.40, 1.41, 1.42, 1.44, 1.46, 1.49, 1.53},
     25, 0, 0.97, 0.15, {true, 0.010, 0, 0.9, 1.70, 0.5, 0.5}},
    {Chemistry::NiMH, "NiMH",
     {0.80, 1.08, 1.14, 1.18, 1.20, 1.21, 1.22, 1.23, 1.24, 1.25, 1.27, 1.29, 1.33},
     {1.25, 1.30, 1.33, 1.36, 1.38, 1.39, 1.40, 1.41, 1.42, 1.43, 1.45, 1.47, 1.50},
     30, 0, 0.97, 0.25, {true, 0.005, 0, 0.9, 1.70, 0.5, 0.5}},
    {Chemistry::Lead, "lead",
     {1.75, 1.85, 1.90, 1.94, 1.97, 1.99, 2.01, 2.03, 2.05, 2.07, 2.09, 2.11, 2.13},
     {1.95, 2.00, 2.05, 2.08, 2.10, 2.12, 2.14, 2.16, 2.19, 2.23, 2.30, 2.36, 2.45},
     120, 0, 0.95, 0.04, {false, 0, 2.40, 1.8, 2.60, 1.5, 0.5}},
    {Chemistry::LiIon, "LiIon",
     {3.00, 3.30, 3.45, 3.55, 3.61, 3.66, 3.71, 3.77, 3.84, 3.91, 3.99, 4.04, 4.10},
     {3.00, 3.30, 3.45, 3.55, 3.61, 3.66, 3.71, 3.77, 3.84, 3.91, 3.99, 4.04, 4.10},
     50, 0.15, 0.995, 0.02, {false, 0, 4.10, 3.0, 4.25, 2.0, 0.4}},
    {Chemistry::LiPo, "LiPo",
     {3.00, 3.35, 3.50, 3.62, 3.70, 3.75, 3.80, 3.86, 3.93, 4.00, 4.08, 4.14, 4.20},
     {3.00, 3.35, 3.50, 3.62, 3.70, 3.75, 3.80, 3.86, 3.93, 4.00, 4.08, 4.14, 4.20},
     40, 0.15, 0.995, 0.03, {false, 0, 4.20, 3.0, 4.35, 2.0, 0.4}},
    {Chemistry::LiFePO4, "LiFePO4",
     {2.50, 2.95, 3.10, 3.20, 3.25, 3.27, 3.29, 3.30, 3.31, 3.32, 3.34, 3.38, 3.60},
     {2.50, 2.95, 3.10, 3.20, 3.25, 3.27, 3.29, 3.30, 3.31, 3.32, 3.34, 3.38, 3.60},
     40, 0.10, 0.995, 0.02, {false, 0, 3.60, 2.5, 3.75, 1.5, 0.4}},
    {Chemistry::NiZn, "NiZn",
     {1.10, 1.55, 1.60, 1.64, 1.66, 1.68, 1.69, 1.70, 1.72, 1.74, 1.77, 1.80, 1.90},
     {1.10, 1.55, 1.60, 1.64, 1.66, 1.68, 1.69, 1.70, 1.72, 1.74, 1.77, 1.80, 1.90},
     40, 0.05, 0.97, 0.10, {false, 0, 1.90, 1.2, 2.05, 0.8, 0.5}},
};
// clang-format on

const ChemistryData& dataFor(Chemistry c) {
    for (const ChemistryData& d : kData) {
        if (d.chemistry == c) {
            return d;
        }
    }
    return kData[1];
}

double interpolate(const Curve& curve, double soc) {
    soc = std::clamp(soc, 0.0, 1.0);
    for (size_t i = 1; i < kSocPoints.size(); ++i) {
        if (soc <= kSocPoints[i]) {
            double t = (soc - kSocPoints[i - 1]) / (kSocPoints[i] - kSocPoints[i - 1]);
            return curve[i - 1] + t * (curve[i] - curve[i - 1]);
        }
    }
    return curve.back();
}

// Volts per cell that a fully heated overcharged NiCd/NiMH cell loses.
constexpr double kOverchargeDropPerCell = 0.35;
// Seconds in which overcharge heat cools off.
constexpr double kCoolingSeconds = 1200;

} // namespace

std::optional<Chemistry> chemistryFromType(int typeNumber) {
    for (const ChemistryData& d : kData) {
        if (static_cast<int>(d.chemistry) == typeNumber) {
            return d.chemistry;
        }
    }
    return std::nullopt;
}

double nominalCellVolts(Chemistry chemistry) {
    switch (chemistry) {
    case Chemistry::Lead:
        return 2.0;
    case Chemistry::LiIon:
        return 3.6;
    case Chemistry::LiPo:
        return 3.7;
    case Chemistry::LiFePO4:
        return 3.3;
    case Chemistry::NiZn:
        return 1.6;
    case Chemistry::NiCd:
    case Chemistry::NiMH:
        break;
    }
    return 1.2;
}

std::optional<Chemistry> chemistryFromName(std::string_view name) {
    std::string lower;
    for (char c : name) {
        if (c != '-' && c != '_') {
            lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
    }
    if (lower.size() == 1 && lower[0] >= '1' && lower[0] <= '8') {
        return chemistryFromType(lower[0] - '0');
    }
    if (lower == "pb" || lower == "leadacid") {
        return Chemistry::Lead;
    }
    if (lower == "liion" || lower == "li") {
        return Chemistry::LiIon;
    }
    if (lower == "lifepo4" || lower == "life") {
        return Chemistry::LiFePO4;
    }
    for (const ChemistryData& d : kData) {
        std::string n;
        for (const char* p = d.name; *p; ++p) {
            n.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(*p))));
        }
        if (n == lower) {
            return d.chemistry;
        }
    }
    return std::nullopt;
}

std::string_view chemistryName(Chemistry c) {
    return dataFor(c).name;
}

const ChemistryRules& rulesFor(Chemistry c) {
    return dataFor(c).rules;
}

Battery::Battery(const BatteryParams& params, std::mt19937& rng) : params_(params) {
    std::uniform_real_distribution<double> capacitySpread(0.93, 1.02);
    std::uniform_real_distribution<double> resistanceSpread(0.9, 1.2);
    std::uniform_real_distribution<double> leakSpread(0.8, 1.2);
    const ChemistryData& d = dataFor(params.chemistry);
    capacityMah_ = std::max(1.0, params.capacityMah * capacitySpread(rng));
    chargeMah_ = std::clamp(params.socPercent / 100.0, 0.0, 1.0) * capacityMah_;
    double ah = std::max(0.05, params.capacityMah / 1000.0);
    resistance_ = params.cells * d.resistanceMohmAh / ah / 1000.0 * resistanceSpread(rng);
    polarisation_ = params.cells * d.polarisationAt1C / ah;
    selfDischargePerS_ = d.selfDischargePerMonth / (30.0 * 86400.0) * leakSpread(rng);
}

double Battery::chargeEmf() const {
    const ChemistryData& d = dataFor(params_.chemistry);
    double cell = interpolate(d.charge, soc()) - kOverchargeDropPerCell * overcharge_;
    return params_.cells * cell;
}

double Battery::terminalVoltage(double currentA) const {
    const ChemistryData& d = dataFor(params_.chemistry);
    if (currentA > 0) {
        return chargeEmf() + currentA * chargeResistanceOhm();
    }
    return std::max(0.0, params_.cells * interpolate(d.rest, soc()) + currentA * resistance_);
}

void Battery::step(double seconds, double currentA) {
    const ChemistryData& d = dataFor(params_.chemistry);
    double mah = currentA * 1000.0 * seconds / 3600.0;
    if (mah > 0) {
        double efficiency = d.chargeEfficiency;
        if (d.rules.deltaPeak && soc() > 0.8) {
            // charge acceptance of nickel cells falls off towards full
            efficiency *= 1.0 - 2.0 * (soc() - 0.8);
        }
        double room = capacityMah_ - chargeMah_;
        double stored = std::min(room, mah * efficiency);
        chargeMah_ += stored;
        if (d.rules.deltaPeak && stored < mah * efficiency) {
            overcharge_ += (mah * efficiency - stored) / capacityMah_;
        }
    } else {
        chargeMah_ = std::max(0.0, chargeMah_ + mah);
    }
    chargeMah_ -= chargeMah_ * selfDischargePerS_ * seconds;
    overcharge_ -= overcharge_ * std::min(1.0, seconds / kCoolingSeconds);
}

} // namespace sim
