#pragma once
// A fresh program folder for one test, below the test's own temp folder.
#include "base/core/programfolder.h"
#include "data/session.h"
#include "support/scripted_messages.h"

#include <memory>

#include <QString>
#include <QTemporaryDir>

namespace velmara::test {

// The test's own temp folder (VELMARA_TEST_TMP from CTest, else the system's).
QString testTempRoot();

class TempProgramFolder {
public:
    // Makes the folder and a session on it. A box or dialog nobody scripted on
    // its prompter fails the test.
    TempProgramFolder();
    // Ends the session (files closed) and removes the folder.
    ~TempProgramFolder();
    const ProgramFolder& folder() const { return m_folder; }
    Session& session() { return *m_session; }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    ProgramFolder m_folder;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<UnscriptedMessagesFail> m_guard;
};

} // namespace velmara::test
