#pragma once
// The settings that decide what the program editor offers and what a program
// text carries in place of values left at 0.
#include <QString>

#include <functional>

namespace velmara {

struct ProgramOptions {
    qint32 defaultChargeCurrent = 500;        // DefaultLadestrom, mA
    qint32 defaultDischargeCurrent = 500;     // DefaultEntladestrom, mA
    qint32 defaultDischargeEndVoltage = 1000; // DefaultEntladeschlussSpannung, mV
    bool extensionAvailable = false;          // ProgramExtensionAvaiable
    bool extensionWithSwitches = false;       // ProgramExtensionType "2": O, Q, U are sent
    bool sendAllVisible = false;              // SendAllVisible
    qint16 defaultEndOfCharge = 0;            // DefaultLadeende, tenths of a percent (0: no number)
};

using SettingLookup = std::function<QString(const QString& key)>;

// Reads the options through a settings lookup (the settings store in the
// program, a table in tests). Numbers that do not read keep their defaults.
ProgramOptions loadProgramOptions(const SettingLookup& setting);

} // namespace velmara
