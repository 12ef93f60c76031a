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

TempProgramFolder::TempProgramFolder()
    : m_dir(testTempRoot() + "/prog-XXXXXX"), m_previous(programFolder()) {
    m_folder = ProgramFolder(m_dir.path());
    QDir().mkpath(m_folder.dataDir());
    setProgramFolder(m_folder);
}

TempProgramFolder::~TempProgramFolder() {
    setProgramFolder(m_previous);
}

} // namespace velmara::test
