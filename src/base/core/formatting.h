#pragma once
// Charger values in thousandths (mV, mA, mAh) as display text, and the filters
// that keep numeric text fields from taking what cannot be part of a number.
#include <QLocale>
#include <QString>

namespace velmara {

// "###0.000" with the locale's decimal separator and the unit: 12345 mV -> "12.345 V".
QString formatVoltString(qint32 millivolt, const QLocale& locale = QLocale());
QString formatAmpereString(qint32 milliampere, const QLocale& locale = QLocale());
QString formatAmpereHourString(qint32 milliampereHours, const QLocale& locale = QLocale());

// A number typed by the user, re-formatted "###0.000" without unit ("1,5" -> "1,500" on a
// German system). Text that is not a number is returned unchanged.
QString formatThreeDecimals(const QString& text, const QLocale& locale = QLocale());

// The number in a text typed by the user (locale rules; ok false when it is none).
double parseLocaleNumber(const QString& text, bool* ok, const QLocale& locale = QLocale());

// The input filters run after every change of a field. They are given the text
// before and after the change and return the text the field keeps: the new text
// when it is acceptable, otherwise the text as it was before the keystroke.
QString filterDecimalInput(const QString& previous, const QString& current,
                           const QLocale& locale = QLocale());
QString filterIntegerInput(const QString& previous, const QString& current);

} // namespace velmara
