#include "support/temp_folder.h"

#include <QDir>

namespace velmara::test {

QString testTempRoot() {
    QString root = qEnvironmentVariable("VELMARA_TEST_TMP");
    if (root.isEmpty())
        root = QDir::tempPath() + "/velmara-tests";
    QDir().mkpath(root);
    return root;
}

TempProgramFolder::TempProgramFolder() : m_dir(testTempRoot() + "/prog-XXXXXX") {
    m_folder = ProgramFolder(m_dir.path());
    QDir().mkpath(m_folder.dataDir());
    m_session = std::make_unique<Session>(m_folder);
    m_guard = std::make_unique<UnscriptedMessagesFail>(m_session->prompter());
}

TempProgramFolder::~TempProgramFolder() {
    m_guard.reset();
    m_session.reset();
}

} // namespace velmara::test
