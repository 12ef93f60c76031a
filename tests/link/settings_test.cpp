// What the link and the program record take from the settings: the COM port and
// its device path, and the default end-of-charge criterion.
#include "data/storage/database.h"
#include "data/storage/recordset.h"
#include "link/communicationprogram.h"
#include "link/qtserialport.h"
#include "link/velmaracomcommunication.h"
#include "shell/core/programsettings.h"
#include "support/temp_folder.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace velmara;

namespace {

using Rows = QList<std::pair<QString, QString>>;

// A settings table of its own, handed to the program-wide store for one test.
class SettingsRows {
public:
    explicit SettingsRows(const Rows& rows) {
        m_db = Database::open(QDir(m_folder.path()).filePath("settings.db"), "MS Access;PWD=t",
                              nullptr, false);
        EXPECT_TRUE(m_db);
        EXPECT_TRUE(m_db->execute("CREATE TABLE Optionen (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                                  "\"key\" TEXT NOT NULL UNIQUE COLLATE NOCASE, \"value\" TEXT)"));
        for (const auto& [k, v] : rows)
            EXPECT_TRUE(m_db->execute(QString("INSERT INTO Optionen (\"key\", \"value\") "
                                              "VALUES ('%1', '%2')")
                                          .arg(k, v)));
        ProgramSettings::instance().setRsSettings(m_db->openRecordset("SELECT * FROM Optionen"));
    }
    ~SettingsRows() { ProgramSettings::instance().release(); }

private:
    test::TempProgramFolder m_folder;
    std::unique_ptr<Database> m_db;
};

TEST(LinkSettingsTest, ComPortResolvesThroughItsDeviceSetting) {
    SettingsRows rows(
        Rows{{"ComPort", "2"}, {"ComDevice1", "/dev/ttyUSB0"}, {"ComDevice2", " /dev/ttyACM7 "}});
    EXPECT_EQ(comPortSetting(), 2);
    EXPECT_EQ(comDevicePath(1), "/dev/ttyUSB0");
    EXPECT_EQ(comDevicePath(2), "/dev/ttyACM7");
    EXPECT_EQ(comDevicePath(3), "");
    EXPECT_EQ(comDevicePath(0), "");
    VelmaraComCommunication link;
    EXPECT_EQ(link.portNumber(), 2);
    EXPECT_EQ(link.port().devicePath(), "/dev/ttyACM7");
}

TEST(LinkSettingsTest, AnUnusablePortSettingOpensNothing) {
    for (const char* value : {"", "COM1", "99999"}) {
        SCOPED_TRACE(value);
        SettingsRows rows(Rows{{"ComPort", value}, {"ComDevice1", "/dev/ttyUSB0"}});
        VelmaraComCommunication link;
        EXPECT_EQ(link.portNumber(), 0);
        EXPECT_FALSE(link.openComPort()); // no message either
        EXPECT_FALSE(link.isComPortOpen());
    }
}

TEST(ProgramDefaultsTest, EndOfChargeCriterionComesFromTheSettings) {
    {
        SettingsRows rows(Rows{{"DefaultLadeende", "120"}});
        CommunicationProgram p;
        EXPECT_EQ(p.iLadeende, 120);
    }
    SettingsRows rows(Rows{{"DefaultLadeende", "abc"}});
    EXPECT_EQ(CommunicationProgram().iLadeende, 0);
}

} // namespace
