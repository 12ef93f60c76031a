#include "ui/dialogs/infowindow.h"

#include "base/core/messages.h"
#include "base/widgets/modal.h"
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

InfoWindow::InfoWindow(QWidget* parent) : QDialog(parent), m_tool(findSystemInfoTool()) {
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(res(QStringLiteral("1602")));

    auto* layout = new QVBoxLayout(this);
    QLabel* name = addLabel(layout, "lblProgramName", res(QStringLiteral("0001")));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    name->setFont(big);
    addLabel(
        layout, "lblVersion",
        labelledLine(res(QStringLiteral("1606")), programVersion().section(QLatin1Char(' '), 1)));
    addLabel(layout, "lblDescription", res(QStringLiteral("1604")))->setWordWrap(true);
    addLabel(layout, "lblLibrariesHeading",
             labelledLine(res(QStringLiteral("1610")), QString()).trimmed());
    addLabel(layout, "lblLibraries", libraryVersions().join(QLatin1Char('\n')));

    auto* buttons = new QHBoxLayout;
    auto* systemInfo = new QPushButton(res(QStringLiteral("1612")), this);
    systemInfo->setObjectName(QStringLiteral("cmdSystemInfo"));
    auto* ok = new QPushButton(res(QStringLiteral("1614")), this);
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
    m.text = systemSummary([](const QString& key) { return res(key); });
    m.title = res(QStringLiteral("1612"));
    m.icon = MsgIcon::Information;
    showMessage(m);
}

void showInfoWindow(QWidget* parent) {
    InfoWindow window(parent);
    execModal(&window);
}

} // namespace velmara
