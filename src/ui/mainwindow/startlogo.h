#pragma once
// The logo window shown while the program starts. It closes itself after
// 3000 ms, or at once on a key press, and then reports that the main window may load.
#include <QTimer>
#include <QWidget>

namespace velmara {

class StartLogo : public QWidget {
    Q_OBJECT
public:
    explicit StartLogo(int delayMs = 3000, QWidget* parent = nullptr);
    QTimer* timerStartLogo() { return &m_timer; }
    // Closes the logo and emits finished() (once).
    void finish();

Q_SIGNALS:
    void finished();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QTimer m_timer;
    bool m_done = false;
};

} // namespace velmara
