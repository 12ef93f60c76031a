#pragma once
// A program folder with both database files, the settings and text stores on
// them, and texts, languages and charger models the tests can rely on.
#include "data/session.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/controls.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_messages.h"
#include "support/temp_folder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace velmara::test {

class SelectionFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session().openMaster().ok);
        ASSERT_TRUE(session().openUser().ok);
        Database* db = session().master();
        ASSERT_TRUE(db->execute(QStringLiteral(
            "DELETE * FROM Sprachen;"
            "INSERT INTO Sprachen (SprachCode, SprachResID, Usable) VALUES "
            " ('de', '0404', True), ('en', '0405', True), ('fr', '0406', False);"
            "DELETE * FROM Ladegeraete;"
            "INSERT INTO Ladegeraete (Geraetebezeichnung, Geraetekuerzel) VALUES "
            " ('Lader mit einem Kanal', 'QMT1'), ('Lader mit vier Kanaelen', 'QMT4');"
            "DELETE * FROM NLSResources WHERE ResourceID IN "
            " ('0401', '0404', '0405', '0406', '0204');"
            "INSERT INTO NLSResources (ResourceID, SprachCode, ResourceText) VALUES "
            " ('0401', 'de', 'Sprache:'), ('0401', 'en', 'Language:'),"
            " ('0404', 'de', 'Deutsch'), ('0404', 'en', 'German'),"
            " ('0405', 'de', 'Englisch'), ('0405', 'en', 'English'),"
            " ('0406', 'de', 'Franzoesisch'), ('0406', 'en', 'French'),"
            " ('0204', 'de', 'Ladegeraet:'), ('0204', 'en', 'Charger:');")))
            << db->lastError().toStdString();
        session().settings().setRecordset(
            db->openRecordset(QStringLiteral("SELECT * FROM Optionen")));
        session().texts().setRecordset(
            db->openRecordset(QStringLiteral("SELECT * FROM NLSResources")));
        setting("UsedLanguage", "de");
        setting("UsedCharger", "QMT4");
        setting("ComPort", "1");
        session().texts().setLanguageKey(QStringLiteral("de"));
    }
    void TearDown() override { session().closeFiles(); }

    Session& session() { return folder.session(); }
    QString setting(const QString& key) { return session().setting(key); }
    void setting(const QString& key, const QString& value) { session().setSetting(key, value); }

    TempProgramFolder folder;
};

inline QString text(QDialog* dialog, const char* labelName) {
    QLabel* label = child<QLabel>(dialog, labelName);
    return label ? label->text() : QString();
}

// Picks the entry yielding value, as the user would.
inline void pick(QDialog* dialog, const char* listName, const QString& value) {
    QComboBox* list = child<QComboBox>(dialog, listName);
    ASSERT_NE(list, nullptr);
    const int index = list->findData(value);
    ASSERT_GE(index, 0) << "no entry " << value.toStdString();
    list->setCurrentIndex(index);
}

inline QString chosen(QDialog* dialog, const char* listName) {
    QComboBox* list = child<QComboBox>(dialog, listName);
    return list && list->currentIndex() >= 0 ? list->currentData().toString() : QString();
}

inline void check(QDialog* dialog, const char* optionName) {
    if (auto* option = child<QAbstractButton>(dialog, optionName))
        option->setChecked(true);
}

inline void edit(QDialog* dialog, const char* editName, const QString& value) {
    if (auto* line = child<QLineEdit>(dialog, editName))
        line->setText(value);
}

// Presses a button (cmdOK, cmdCancel) and answers what the dialog made of it.
inline int click(QDialog* dialog, const char* buttonName) {
    if (auto* button = child<QAbstractButton>(dialog, buttonName))
        button->click();
    return dialog->result();
}

} // namespace velmara::test
