#pragma once
// Numeric text fields: a keystroke that would not leave a number in the field
// is taken back, as if the user had pressed Backspace once.
class QLineEdit;

namespace velmara {

// Currents, voltages and capacities: numbers with the locale's decimal separator.
void attachDecimalFilter(QLineEdit* edit);
// Cycle counts, periods, percentages: whole numbers up to 32767.
void attachIntegerFilter(QLineEdit* edit);

} // namespace velmara
