#pragma once
// The delivered master and user files of a fresh program folder, the reference
// rows of a charger family, and an editor model on them with a German locale.
#include "data/session.h"
#include "programs/core/programeditormodel.h"
#include "programs/core/programoptions.h"
#include "programs/core/programreference.h"
#include "support/program_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Failures show texts as text.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace velmara::test {

inline const QLocale kGerman(QLocale::German, QLocale::Germany);

class ProgramsTest : public ProgramFilesTest {
public:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ProgramFilesTest::SetUp());
        useCharger("QMT4");
    }
    void TearDown() override {
        model.reset();
        ProgramFilesTest::TearDown();
    }
    void useCharger(const QString& charger, const QString& language = "de") {
        model.reset();
        QString error;
        ref = loadProgramReference(session().master(), charger, language, &error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        model = std::make_unique<ProgramEditorModel>(ref, kGerman);
    }
    // A record parsed from a stored program text.
    static ProgramRecord parsed(QString text) {
        ProgramRecord p;
        p.parse(text, false);
        return p;
    }
    ProgramOptions options() {
        return loadProgramOptions([this](const QString& key) { return session().setting(key); });
    }

protected:
    ProgramReference ref;
    std::unique_ptr<ProgramEditorModel> model;
};

} // namespace velmara::test
