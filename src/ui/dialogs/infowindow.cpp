#include "ui/dialogs/infowindow.h"

#include "base/widgets/modal.h"
#include "data/session.h"
#include "data/textstore.h"
#include "ui/dialogs/systeminfo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmara {

namespace {
QLabel* addLabel(QVBoxLayout* layout, const char* name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    return label;
}
} // namespace

InfoWindow::InfoWindow(Session& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_tool(findSystemInfoTool()) {
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(session.text(QStringLiteral("1602")));

    auto* layout = new QVBoxLayout(this);
    QLabel* name = addLabel(layout, "lblProgramName", session.text(QStringLiteral("0001")));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    name->setFont(big);
    addLabel(layout, "lblVersion",
             labelledLine(session.text(QStringLiteral("1606")),
                          programVersion().section(QLatin1Char(' '), 1)));
    addLabel(layout, "lblDescription", session.text(QStringLiteral("1604")))->setWordWrap(true);
    addLabel(layout, "lblLibrariesHeading",
             labelledLine(session.text(QStringLiteral("1610")), QString()).trimmed());
    addLabel(layout, "lblLibraries", libraryVersions(session.master()).join(QLatin1Char('\n')));

    auto* buttons = new QHBoxLayout;
    auto* systemInfo = new QPushButton(session.text(QStringLiteral("1612")), this);
    systemInfo->setObjectName(QStringLiteral("cmdSystemInfo"));
    auto* ok = new QPushButton(session.text(QStringLiteral("1614")), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    buttons->addWidget(systemInfo);
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);

    connect(systemInfo, &QPushButton::clicked, this, [this] { showSystemInfo(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void InfoWindow::showSystemInfo() {
    if (!m_tool.isEmpty() && QProcess::startDetached(m_tool, {}))
        return;
    // No tool (or it would not start): what the program itself can tell.
    Message m;
    // Numbers with the decimal mark of the program's language ("23,5 GiB").
    m.text = systemSummary([this](const QString& key) { return m_session.text(key); },
                           QLocale(m_session.texts().languageKey()));
    m.title = m_session.text(QStringLiteral("1612"));
    m.icon = MsgIcon::Information;
    m_session.prompter().show(m);
}

void showInfoWindow(Session& session, QWidget* parent) {
    InfoWindow window(session, parent);
    execModal(session.prompter(), &window);
}

} // namespace velmara
