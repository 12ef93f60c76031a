#include "ui/mainwindow/featurecontexts.h"
#include "ui/mainwindow/printentries.h"

#include "base/core/dateformat.h"
#include "base/core/errorlog.h"
#include "base/widgets/modal.h"
#include "batteries/ui/batteriesui.h"
#include "batteries/ui/storedserieswindow.h"
#include "charts/ui/diagramopener.h"
#include "charts/ui/diagramwindow.h"
#include "data/databases.h"
#include "data/session.h"
#include "data/settingsstore.h"
#include "data/textstore.h"
#include "exchange/ui/exchangecontext.h"
#include "printing/ui/windowreader.h"
#include "programs/ui/openprogrameditor.h"
#include "storage/database.h"

#include <QDateTime>
#include <QFileDialog>
#include <QMdiArea>

namespace velmara {

FeatureContexts::FeatureContexts(Session& session, PrintEntries& printing, QWidget* window,
                                 QMdiArea* area)
    : m_session(session), m_printing(printing), m_window(window),
      m_diagramOpener(new DiagramOpener(area, window)) {}

// The diagram window goes with the contexts its callbacks use.
FeatureContexts::~FeatureContexts() {
    delete m_diagramOpener;
    *m_alive = false; // for the callbacks of contexts that outlive the main window
}

std::shared_ptr<const BatteriesContext> FeatureContexts::batteriesContext() {
    if (m_batteriesContext)
        return m_batteriesContext;
    auto context = std::make_shared<BatteriesContext>();
    context->prompter = &m_session.prompter();
    context->stores = m_session.user() ? &m_session.stores() : nullptr;
    if (Database* master = m_session.master())
        context->references = loadReferenceTexts(*master, m_session.setting("UsedCharger"),
                                                 m_session.setting("UsedLanguage"));
    context->text = [session = &m_session](const QString& key) { return session->text(key); };
    context->language = m_session.texts().languageKey();
    context->log = [session = &m_session](const QString& signature, const QString& entry) {
        session->log().writeSignature(signature);
        session->log().writeEntry(entry);
    };
    bool ok = false;
    const int battery = m_session.setting("MaxAkkuBemerkung").toInt(&ok);
    if (ok)
        context->maxBatteryRemark = battery;
    const int series = m_session.setting("MaxMessBemerkung").toInt(&ok);
    if (ok)
        context->maxSeriesRemark = series;
    const std::shared_ptr<bool> alive = m_alive;
    FeatureContexts* self = this;
    // While a stored-series window is active, the print entries print its report.
    context->hooks.activated = [alive, self](QWidget* window) {
        if (!*alive)
            return;
        QPointer<QWidget> target(window);
        self->m_printing.setPrintItemWindow(window, [alive, self, target](bool toPdf) {
            auto* series = qobject_cast<StoredSeriesWindow*>(target.data());
            if (*alive && series)
                self->m_printing.printReport(series, series->program().get(), QImage(), false,
                                             toPdf);
        });
    };
    context->hooks.closed = [alive, self](QWidget* window) {
        if (*alive && self->m_printing.printItemWindow() == window)
            self->m_printing.checkAndSetPrintItem(false);
    };
    context->hooks.print = [alive, self](QWidget* window, std::shared_ptr<ProgramRecord> program) {
        if (*alive)
            self->m_printing.printReport(window, program.get());
    };
    context->hooks.exportPdf = [alive, self](QWidget* window,
                                             std::shared_ptr<ProgramRecord> program) {
        if (*alive)
            self->m_printing.printReport(window, program.get(), QImage(), false, true);
    };
    context->hooks.diagram = [alive, self](QWidget* window, qint32 seriesId, qint32 endValueId,
                                           std::shared_ptr<ProgramRecord> program,
                                           std::function<void()> finished) {
        if (!*alive) {
            if (finished)
                finished();
            return;
        }
        self->openDiagram(
            false, seriesId, endValueId,
            [finished](bool) {
                if (finished)
                    finished();
            },
            window, [program] { return program.get(); });
    };
    context->hooks.showProgram = [alive, self](std::shared_ptr<ProgramRecord> program) {
        if (*alive && program)
            openUsedProgram(self->m_window, self->m_session, *program);
    };
    m_batteriesContext = context;
    return m_batteriesContext;
}

DiagramWindow* FeatureContexts::diagramWindow() const {
    return m_diagramOpener->window();
}

void FeatureContexts::openDiagram(bool temporary, qint32 seriesId, qint32 endValueId,
                                  const std::function<void(bool shown)>& done, QWidget* caller,
                                  std::function<const ProgramRecord*()> program) {
    // Every opening names the window and program its report prints.
    m_diagramCaller = caller;
    m_diagramCallerData = readReportWindow(caller);
    m_diagramProgram = std::move(program);
    DiagramContext context;
    context.prompter = &m_session.prompter();
    context.values = &m_session.stores().values();
    if (Database* master = m_session.master())
        loadDiagramPointsRows(*master, &context.diagramPoints);
    context.settings = {
        [session = &m_session](const QString& key) { return session->setting(key); },
        [session = &m_session](const QString& key, const QString& value) {
            session->settings().setOrAddSetting(key, value);
        }};
    context.text = [session = &m_session](const QString& key) { return session->text(key); };
    context.log = [session = &m_session](const QString& entry) {
        session->log().writeSignature(QStringLiteral("Diagram"));
        session->log().writeEntry(entry);
    };
    const std::shared_ptr<bool> alive = m_alive;
    QPointer<QWidget> guard(m_window);
    FeatureContexts* self = this;
    // While the diagram window is active, the print entries print its report
    // with the diagram.
    context.printItemChanged = [alive, self](DiagramWindow* window, bool active) {
        if (!*alive)
            return;
        if (!active) {
            if (self->m_printing.printItemWindow() == window)
                self->m_printing.checkAndSetPrintItem(false);
            return;
        }
        QPointer<DiagramWindow> target(window);
        self->m_printing.setPrintItemWindow(window, [target](bool toPdf) {
            if (target)
                target->printReport(false, toPdf);
        });
    };
    context.print = [alive, self](DiagramWindow*, const QPixmap& picture, bool diagramOnly,
                                  bool toPdf) {
        if (!*alive)
            return;
        const ProgramRecord* program = self->m_diagramProgram ? self->m_diagramProgram() : nullptr;
        // A caller still open is read as it stands now; one that was closed as it
        // stood when the diagram was opened.
        if (self->m_diagramCaller)
            self->m_diagramCallerData = readReportWindow(self->m_diagramCaller);
        self->m_printing.printReport(self->m_diagramCaller, program, picture.toImage(), diagramOnly,
                                     toPdf, &self->m_diagramCallerData);
    };
    context.askSavePath = [guard, prompter = &m_session.prompter()](const QString& filter) {
        QFileDialog dialog(guard, QString(), QString(), filter);
        dialog.setObjectName(QStringLiteral("commonDialogMain"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        if (execModal(*prompter, &dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
    DiagramRequest request;
    request.tempCreated = temporary;
    request.seriesId = seriesId;
    request.endValueId = endValueId;
    // Saved pictures are titled with what the caller shows (battery and series,
    // or the channel and the day).
    QString title = caller ? caller->windowTitle() : QString();
    if (temporary)
        title += QStringLiteral(", ") + formatDateTime(QDateTime::currentDateTime(),
                                                       m_session.texts().languageKey(), false);
    m_diagramOpener->open(
        context, request,
        [done](bool shown) {
            if (done)
                done(shown);
        },
        caller);
    if (DiagramWindow* window = m_diagramOpener->window())
        window->setTitle(title);
}

ExchangeContext FeatureContexts::exchangeContext() {
    ExchangeContext context;
    context.prompter = &m_session.prompter();
    context.stores = m_session.user() ? &m_session.stores() : nullptr;
    context.text = [session = &m_session](const QString& key) { return session->text(key); };
    context.language = m_session.texts().languageKey();
    QPointer<QWidget> guard(m_window);
    context.askPath = [guard, prompter = &m_session.prompter()](const PathRequest& request) {
        QFileDialog dialog(guard, QString(), QString(), request.filter);
        dialog.setObjectName(QStringLiteral("commonDialogMain"));
        switch (request.kind) {
        case PathRequest::Kind::OpenFile:
            dialog.setFileMode(QFileDialog::ExistingFile);
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            break;
        case PathRequest::Kind::SaveFile:
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix(QStringLiteral("csv"));
            dialog.selectFile(request.suggestedName);
            break;
        case PathRequest::Kind::Folder:
            dialog.setFileMode(QFileDialog::Directory);
            dialog.setOption(QFileDialog::ShowDirsOnly);
            break;
        }
        if (execModal(*prompter, &dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
    return context;
}

} // namespace velmara
