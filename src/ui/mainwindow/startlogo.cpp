#include "ui/mainwindow/startlogo.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace velmara {

StartLogo::StartLogo(int delayMs, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmStartLogo"));
    setFont(QFont(QStringLiteral("Arial")));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(16, 48, 96));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("velmara"), this);
    QFont big(QStringLiteral("Arial"), 40, QFont::Bold);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("%1.%2.%3")
                                   .arg(VELMARA_VERSION_MAJOR)
                                   .arg(VELMARA_VERSION_MINOR)
                                   .arg(VELMARA_VERSION_PATCH),
                               this);
    version->setAlignment(Qt::AlignCenter);
    layout->addStretch();
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addStretch();
    resize(420, 240);

    m_timer.setObjectName(QStringLiteral("timerStartLogo"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(delayMs);
    connect(&m_timer, &QTimer::timeout, this, &StartLogo::finish);
}

void StartLogo::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (!m_done && !m_timer.isActive())
        m_timer.start();
}

void StartLogo::keyPressEvent(QKeyEvent*) {
    finish();
}

void StartLogo::finish() {
    if (m_done)
        return;
    m_done = true;
    m_timer.stop();
    close();
    Q_EMIT finished();
}

} // namespace velmara
