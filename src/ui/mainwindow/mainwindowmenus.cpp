// The main window's menus: every entry with its object name, German caption and text key.
#include "ui/dialogs/serverdialog.h"
#include "ui/mainwindow/featurecontexts.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/mainwindow/mainwindownotices.h"
#include "ui/mainwindow/printentries.h"
#include "web/ui/webview.h"

#include "base/core/errorlog.h"
#include "base/core/messages.h"
#include "base/core/programfolder.h"
#include "base/widgets/modal.h"
#include "batteries/core/capturechannel.h"
#include "batteries/ui/batteriesui.h"
#include "charts/ui/diagramwindow.h"
#include "data/databases.h"
#include "data/portsetting.h"
#include "data/session.h"
#include "data/settingsstore.h"
#include "data/tempvalues.h"
#include "data/textstore.h"
#include "exchange/ui/exchangecontext.h"
#include "exchange/ui/seriesexchangeflows.h"
#include "link/chargerlink.h"
#include "link/qtserialport.h"
#include "notify/channelevents.h"
#include "notify/dbusnotifier.h"
#include "programs/core/programreference.h"
#include "programs/ui/openprogrameditor.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "ui/dialogs/chargerdialog.h"
#include "ui/dialogs/comportdialog.h"
#include "ui/dialogs/firststart.h"
#include "ui/dialogs/infowindow.h"
#include "ui/dialogs/languagedialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include <algorithm>
#include <exception>

namespace velmara {

using namespace mainwindow;

QMenu* MainWindow::addMenu(QMenu* parentMenu, const char* name, const QString& caption,
                           const QString& key) {
    QMenu* menu = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    m_texts.append({menu, key});
    return menu;
}

QAction* MainWindow::addEntry(QMenu* menu, const char* name, const QString& caption,
                              const QString& key) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    m_texts.append({action, key});
    return action;
}

void MainWindow::createMenus() {
    menuBar()->setObjectName(QStringLiteral("menuBar"));

    QMenu* datei = addMenu(nullptr, "mnuDatei", "&Datei", "1000");
    // Series come in as CSV files; files of the earlier versions are not read.
    QMenu* import = addMenu(datei, "mnuDateiImport", "Importieren", "1002");
    connect(addEntry(import, "mnuDateiImportCsv", "CSV-Datei...", "2232"), &QAction::triggered,
            this, &MainWindow::onImportCsv);
    connect(addEntry(datei, "mnuDateiExport", "Exportieren", "1008"), &QAction::triggered, this,
            &MainWindow::onFileSave);
    // The diagram window's pictures, while it is open.
    m_exportPng = addEntry(datei, "mnuDateiExportDiagrammPng", "Als PNG speichern...", "2174");
    m_exportPdf = addEntry(datei, "mnuDateiExportDiagrammPdf", "Als PDF speichern...", "2176");
    for (QAction* a : {m_exportPng, m_exportPdf}) {
        const bool pdf = a == m_exportPdf;
        connect(a, &QAction::triggered, this, [this, pdf] {
            if (DiagramWindow* diagram = m_contexts->diagramWindow())
                diagram->saveChart(pdf);
        });
    }
    connect(datei, &QMenu::aboutToShow, this, [this] {
        m_exportPng->setEnabled(m_contexts->diagramWindow() != nullptr);
        m_exportPdf->setEnabled(m_contexts->diagramWindow() != nullptr);
    });
    datei->addSeparator();
    // Paper, orientation and margins of the printer the print entries use; the
    // printer itself is chosen when printing.
    connect(addEntry(datei, "mnuDateiFormatPage", "Seite einrichten...", "1010"),
            &QAction::triggered, this, [this] { m_printing->pageSetup(); });
    connect(addEntry(datei, "mnuDateiPrint", "Drucken...", "1014"), &QAction::triggered, this,
            [this] { m_printing->print(false); });
    connect(addEntry(datei, "mnuDateiExportPdf", "Als PDF exportieren...", "9042"),
            &QAction::triggered, this, [this] { m_printing->print(true); });
    datei->addSeparator();
    QAction* quit = addEntry(datei, "mnuDateiBeenden", "&Beenden", "1016");
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, [this] { close(); });

    QMenu* bearbeiten = addMenu(nullptr, "mnuBearbeiten", "&Bearbeiten", "1020");
    connect(addEntry(bearbeiten, "mnuBearbeitenMesswerteVerwalten", "Messwerte verwalten", "1022"),
            &QAction::triggered, this, &MainWindow::onManageMeasurements);
    bearbeiten->addSeparator();
    connect(addEntry(bearbeiten, "mnuBearbeitenDBKomprimieren", "Datenbank komprimieren", "1026"),
            &QAction::triggered, this, &MainWindow::onCompact);

    QMenu* einstellungen = addMenu(nullptr, "mnuEinstellungen", "&Einstellungen", "1040");
    QMenu* kanaele =
        addMenu(einstellungen, "mnuEinstellungenKanaele", QString::fromUtf8("Kanäle"), "1042");
    static const char* const channelNames[] = {
        "mnuEinstellungenKanaeleKanal1", "mnuEinstellungenKanaeleKanal2",
        "mnuEinstellungenKanaeleKanal3", "mnuEinstellungenKanaeleKanal4"};
    static const char* const channelCaptions[] = {"Kanal &1", "Kanal 2", "Kanal&3", "Kanal 4"};
    static const char* const channelKeys[] = {"1044", "1046", "1048", "1050"};
    for (int i = 0; i < 4; ++i) {
        QAction* action = addEntry(kanaele, channelNames[i], channelCaptions[i], channelKeys[i]);
        action->setCheckable(true);
        m_channels[size_t(i)].menuEntry = action;
        const QString code = allChannelCodes().at(i);
        // The entry never clears its own check mark: that is the window's close button.
        connect(action, &QAction::triggered, this, [this, action, code](bool nowChecked) {
            action->setChecked(!nowChecked);
            toggleChannel(code);
        });
    }
    einstellungen->addSeparator();
    connect(addEntry(einstellungen, "mnuEinstellungenCOMPort", "&COMPort", "1052"),
            &QAction::triggered, this, &MainWindow::onComPort);
    connect(addEntry(einstellungen, "mnuEinstellungenSprache", "&Sprache", "1054"),
            &QAction::triggered, this, &MainWindow::onLanguage);
    connect(addEntry(einstellungen, "mnuEinstellungenLadegeraet", QString::fromUtf8("Ladegerät"),
                     "1055"),
            &QAction::triggered, this, &MainWindow::onCharger);
    // Named after what it opens: the sub-title of the printouts.
    connect(addEntry(einstellungen, "mnuEinstellungenOptionen", "Untertitel der Ausdrucke", "1056"),
            &QAction::triggered, this, [this] { m_printing->subTitle(); });
    connect(addEntry(einstellungen, "mnuPrintsettings", "Druckeinstellungen", "9020"),
            &QAction::triggered, this, [this] { m_printing->printSettings(); });
    m_notificationsAction =
        addEntry(einstellungen, "mnuEinstellungenBenachrichtigungen", "Benachrichtigungen", "2206");
    m_notificationsAction->setCheckable(true);
    connect(einstellungen, &QMenu::aboutToShow, this, [this] {
        m_notificationsAction->setChecked(notificationsEnabled(m_session.setting("Notifications")));
    });
    connect(m_notificationsAction, &QAction::triggered, this, &MainWindow::onNotificationsToggled);
    connect(addEntry(einstellungen, "mnuEinstellungenWebAnsicht", "Web-Ansicht ...", "4900"),
            &QAction::triggered, this, [this] { m_webView->configure(this); });
    connect(addEntry(einstellungen, "mnuEinstellungenServer", "Akkudaten-Server ...", "4930"),
            &QAction::triggered, this, [this] { runServerDialog(m_session, this); });

    QMenu* fenster = addMenu(nullptr, "mnuFenster", "&Fenster", "1060");
    connect(addEntry(fenster, "mnuFensterUeberlappend", QString::fromUtf8("Überlappend"), "1062"),
            &QAction::triggered, this, &MainWindow::arrangeCascade);
    connect(addEntry(fenster, "mnuFensterUebereinander", QString::fromUtf8("Übereinander"), "1064"),
            &QAction::triggered, this, &MainWindow::tileStacked);
    connect(addEntry(fenster, "mnuFensterNebeneinander", "Nebeneinander", "1066"),
            &QAction::triggered, this, &MainWindow::tileSideBySide);
    connect(addEntry(fenster, "mnuFensterSymboleAnordnen", "Symbole anordnen", "1068"),
            &QAction::triggered, this, &MainWindow::arrangeIcons);
    connect(
        addEntry(fenster, "mnuFensterAlleFensterVerkleinern", "Alle Fenster verkleinern", "1070"),
        &QAction::triggered, this, &MainWindow::minimiseAll);

    QMenu* help = addMenu(nullptr, "mnuHelp", "?", "1080");
    QAction* manual = addEntry(help, "mnuHelpInhalt", "Inhalt", "1082");
    manual->setShortcut(QKeySequence::HelpContents);
    connect(manual, &QAction::triggered, this, &MainWindow::onHelpContents);
    connect(addEntry(help, "mnuBearbeitenInfoDiagramm", "Info Diagramm anzeigen", "1024"),
            &QAction::triggered, this,
            [this] { showKeyed(m_session, "1100", "0410", MsgIcon::Information, MsgButtons::Ok); });
    help->addSeparator();
    connect(addEntry(help, "mnuHelpInfo", "&Info", "1088"), &QAction::triggered, this,
            &MainWindow::onInfo);
}

} // namespace velmara
