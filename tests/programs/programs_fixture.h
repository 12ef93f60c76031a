#pragma once
// The delivered master and user files of a fresh program folder, the reference
// rows of a charger family, an editor model on them with a German locale, and
// the charger's program line.
#include "data/session.h"
#include "link/resumelater.h"
#include "programs/core/programeditormodel.h"
#include "programs/core/programoptions.h"
#include "programs/core/programreference.h"
#include "programs/core/programtransfer.h"
#include "support/program_files.h"

#include <gtest/gtest.h>

#include <coroutine>
#include <deque>
#include <memory>
#include <ostream>
#include <utility>

// Failures show texts as text.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace velmara::test {

inline const QLocale kGerman(QLocale::German, QLocale::Germany);

// The charger's program line: records each request and answers from the script
// ("echo": the text sent with the charger's G field); past the script a send is
// echoed and a fetch goes unanswered. With hold set, each request waits for release().
class FakeProgramLine : public ProgramLine {
public:
    QCoro::Task<QString> sendProgram(const QString& body) override {
        sent << body;
        if (hold)
            co_await ResumeLater{held};
        co_return next("echo");
    }
    QCoro::Task<QString> getProgram(const QString& channel) override {
        sent << channel + ",W";
        if (hold)
            co_await ResumeLater{held};
        co_return next(QString());
    }
    void release() { std::exchange(held, {}).resume(); }

    std::deque<QString> answers;
    QStringList sent;
    bool hold = false;
    std::coroutine_handle<> held;

private:
    QString next(const QString& unscripted) {
        QString a = unscripted;
        if (!answers.empty()) {
            a = answers.front();
            answers.pop_front();
        }
        return a == "echo" ? sent.last() + ",G1," : a;
    }
};

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
    int rows() { return session().user()->scalar("SELECT COUNT(*) FROM Programme").toInt(); }
    ProgramOptions options() {
        return loadProgramOptions([this](const QString& key) { return session().setting(key); });
    }

protected:
    ProgramReference ref;
    std::unique_ptr<ProgramEditorModel> model;
};

} // namespace velmara::test
