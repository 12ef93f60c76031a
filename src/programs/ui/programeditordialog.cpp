#include "programs/ui/programeditordialog.h"

#include "base/widgets/modal.h"
#include "data/session.h"
#include "link/chargermodel.h"
#include "programs/ui/choiceonly.h"
#include "programs/ui/editorboxes.h"
#include "programs/ui/extendedmodedialog.h"
#include "programs/ui/programfields.h"
#include "programs/ui/programnamedialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmara {

namespace {

QPushButton* button(QWidget* parent, Session& session, const char* name, const char* textKey) {
    auto* b = new QPushButton(session.text(QLatin1String(textKey)), parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

ProgramEditorDialog::ProgramEditorDialog(Session& session, ProgramEditorSetup setup,
                                         QWidget* parent)
    : QDialog(parent), m_session(session), m_setup(std::move(setup)) {
    setObjectName(QStringLiteral("dlgVelmaraProgram"));
    const int number = ChannelCode::fromText(m_setup.channel).value_or(ChannelCode()).number();
    const QString title = session.text(QStringLiteral("0900"));
    setWindowTitle(number > 0 ? title + QStringLiteral(" %1").arg(number) : title);

    m_model = std::make_unique<ProgramEditorModel>(m_setup.reference, m_setup.locale);
    m_library =
        std::make_unique<ProgramLibrary>(m_setup.programs, QLocale(session.texts().languageKey()));
    m_editor = std::make_unique<ProgramEditorSession>(*m_model, m_setup.options, m_setup.line,
                                                      m_library.get());
    m_editor->channel = m_setup.channel;
    m_editor->resetChannels = m_setup.resetChannels;
    m_editor->transferStateChanged = [this](bool busy) { showTransferring(busy); };
    m_editor->transferProgress = [this](const TransferProgress& p) {
        m_stopped = p.step == TransferProgress::Stopped;
        m_progress->setText(
            transferProgressText(p, [this](const QString& key) { return m_session.text(key); }));
    };
    m_editor->askProgramName = [this] {
        QStringList names;
        for (const StoredProgram& p : m_library->programs())
            names << p.name;
        return velmara::askProgramName(names, m_session, this);
    };
    m_editor->showCheck = [this](const EditorMessage& m) {
        showEditorMessage(programViewContext(m_session), m, m_model->locale());
    };
    m_editor->ask = [this](const EditorQuestion& q) {
        return showKeyed(m_session, q.textKey, q.titleKey, q.icon, q.buttons);
    };
    m_editor->saveFailed = [this](const QString& reason) {
        m_session.log().writeEntry(QStringLiteral("Programme: ") + reason);
        Message box;
        box.text = QStringLiteral("Fehler");
        box.icon = MsgIcon::Critical;
        m_session.prompter().show(box);
    };
    m_editor->deleteFailed = [this](const QString& reason) {
        if (!reason.isEmpty())
            m_session.log().writeEntry(QStringLiteral("Programme: ") + reason);
        Message box;
        box.key = QStringLiteral("4104");
        box.text = m_session.text(box.key);
        if (!reason.isEmpty())
            box.text += QStringLiteral("\n\n") + reason;
        box.icon = MsgIcon::Critical;
        m_session.prompter().show(box);
    };

    auto* layout = new QVBoxLayout(this);
    auto* libraryRow = new QHBoxLayout;
    auto* storedLabel = new QLabel(session.text(QStringLiteral("0973")), this);
    storedLabel->setObjectName(QStringLiteral("lblGespeicherteProgramme"));
    m_stored = new QComboBox(this);
    m_stored->setObjectName(QStringLiteral("cboAkkuProgram"));
    m_stored->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_stored->setMinimumContentsLength(20);
    ignoreTypedKeys(m_stored);
    m_delete = button(this, session, "cmdDeleteButton", "0972");
    auto* saveAs = button(this, session, "cmdSaveAsButton", "0953");
    libraryRow->addWidget(storedLabel);
    libraryRow->addWidget(m_stored, 1);
    libraryRow->addWidget(m_delete);
    libraryRow->addWidget(saveAs);
    layout->addLayout(libraryRow);

    m_fields = new ProgramFieldsWidget(*m_model, programViewContext(session), this);
    layout->addWidget(m_fields);
    m_editor->focusControl = [this](const QString& name) { m_fields->focusControl(name); };
    connect(m_fields, &ProgramFieldsWidget::edited, this, &ProgramEditorDialog::refresh);

    // What a transfer is doing; empty while none runs.
    m_progress = new QLabel(this);
    m_progress->setObjectName(QStringLiteral("lblTransfer"));
    m_progress->setWordWrap(true);
    m_progress->setMinimumHeight(m_progress->fontMetrics().height());
    layout->addWidget(m_progress);

    auto* actions = new QHBoxLayout;
    auto* extended = button(this, session, "cmdExtendedModus", "0903");
    auto* fetch = button(this, session, "cmdProgrammHolen", "0952");
    auto* send = button(this, session, "cmdSendButton", "0950");
    auto* sendAll = button(this, session, "cmdSendToAll", "0951");
    auto* cancel = button(this, session, "cmdCancelButton", "0101");
    actions->addWidget(extended);
    actions->addWidget(fetch);
    actions->addStretch(1);
    actions->addWidget(send);
    actions->addWidget(sendAll);
    actions->addWidget(cancel);
    layout->addLayout(actions);
    sendAll->setVisible(m_setup.options.sendAllVisible);
    extended->setVisible(m_setup.options.extensionAvailable);

    m_cancel = cancel;
    // While a transfer runs, Cancel stops it (Esc and the close button too).
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // The transfers wait their turn on the line; the dialog learns their end.
    const auto closeWhenDone = [this](bool close) {
        if (close)
            accept();
    };
    connect(send, &QPushButton::clicked, this,
            [this, closeWhenDone] { QCoro::connect(m_editor->send(), this, closeWhenDone); });
    connect(sendAll, &QPushButton::clicked, this,
            [this, closeWhenDone] { QCoro::connect(m_editor->sendToAll(), this, closeWhenDone); });
    connect(fetch, &QPushButton::clicked, this,
            [this] { QCoro::connect(m_editor->fetch(), this, [this](bool) { refresh(); }); });
    connect(saveAs, &QPushButton::clicked, this, [this] {
        if (m_editor->saveAs())
            fillLibraryList();
        refresh();
    });
    connect(m_delete, &QPushButton::clicked, this, [this] {
        m_editor->deleteSelected();
        fillLibraryList(); // also when it failed: the program may be gone
        refresh();
    });
    connect(extended, &QPushButton::clicked, this, &ProgramEditorDialog::openExtended);
    connect(m_stored, &QComboBox::activated, this, [this](int i) {
        m_editor->loadStored(i >= 0 ? m_stored->itemData(i).toLongLong() : -1);
        refresh();
    });

    fillLibraryList();
    m_editor->showProgram(m_setup.program);
    refresh();
}

ProgramEditorDialog::~ProgramEditorDialog() = default;

void ProgramEditorDialog::fillLibraryList() {
    m_stored->clear();
    for (const StoredProgram& p : m_library->programs())
        m_stored->addItem(p.name, p.id);
}

void ProgramEditorDialog::refresh() {
    m_fields->refresh();
    m_stored->setCurrentIndex(m_stored->findData(m_model->storedProgramId()));
    m_delete->setEnabled(m_model->deleteEnabled());
}

void ProgramEditorDialog::openExtended() {
    ExtendedModeDialog dialog(m_model->program(), m_setup.reference, programViewContext(m_session),
                              this);
    if (execModal(m_session.prompter(), &dialog) == QDialog::Accepted)
        m_model->setExtendedFields(dialog.program());
}

void ProgramEditorDialog::showTransferring(bool busy) {
    const auto controls = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : controls)
        w->setEnabled(!busy || w == m_cancel || w == m_progress);
    if (busy) {
        m_stopped = false;
        m_progress->clear();
        setCursor(Qt::BusyCursor);
        m_cancel->setCursor(Qt::ArrowCursor);
    } else {
        unsetCursor();
        m_cancel->unsetCursor();
        if (!m_stopped) // a stopped transfer says so until the next one
            m_progress->clear();
        refresh(); // the delete button's state
    }
}

void ProgramEditorDialog::reject() {
    if (m_editor->transferring()) {
        m_editor->stopTransfer();
        return;
    }
    QDialog::reject();
}

void ProgramEditorDialog::closeEvent(QCloseEvent* event) {
    if (m_editor->transferring()) {
        m_editor->stopTransfer();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ProgramEditorDialog::programChangedFromOutside(const ProgramRecord& reported) {
    if (m_editor->programChangedFromOutside(reported))
        refresh();
}

} // namespace velmara
