#pragma once
// The eight extended program settings as the extended-mode dialog shows them:
// one choice per option group and the end-of-charge percentage as text.
#include "link/programrecord.h"
#include "programs/core/editormessage.h"
#include "programs/core/programreference.h"

namespace velmara {

struct ExtendedChoices {
    bool locked = false;            // optGesperrt, else optFreigegeben
    bool withoutLoad = false;       // optOhneLast, else optUnterLast
    bool leadMode2 = false;         // optBleiakkuMode2, else optBleiakkuMode1
    bool liIonMode2 = false;        // optLiIonMode2, else optLiIonMode1
    bool continuousCurrent = false; // optDauerstrom, else optReversepulse
    bool q2 = false;                // optQ2, else optQ1
    bool u2 = false;                // optU2, else optU1
    QString endOfCharge;            // txtLadeende: whole percent of the charge current
};

// What the dialog shows for a record; endOfCharge 100 reads "10".
ExtendedChoices extendedChoicesOf(const ProgramRecord& program,
                                  const QLocale& locale = QLocale());

// The check when txtLadeende is left: a non-blank percentage within row "N".
CheckResult checkEndOfCharge(const QString& text, const ProgramReference& reference,
                             const QLocale& locale = QLocale());

// Confirming: a blank percentage is refused ("7054"), one outside row "N" too;
// otherwise the choices are written into the record (endOfCharge = percent x 10).
CheckResult collectExtended(const ExtendedChoices& choices, const ProgramReference& reference,
                            ProgramRecord& into, const QLocale& locale = QLocale());

} // namespace velmara
