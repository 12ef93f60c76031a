#pragma once
// A fresh program folder for one test, below the test's own temp folder.
#include "base/core/programfolder.h"

#include <QString>
#include <QTemporaryDir>

namespace velmara::test {

// The test's own temp folder (VELMARA_TEST_TMP from CTest, else the system's).
QString testTempRoot();

class TempProgramFolder {
public:
    TempProgramFolder();  // makes the folder and makes it the program folder
    ~TempProgramFolder(); // removes it
    const ProgramFolder& folder() const { return m_folder; }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    ProgramFolder m_folder;
    ProgramFolder m_previous;
};

} // namespace velmara::test
