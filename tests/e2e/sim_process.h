#pragma once
// The charger simulator as a child process on a pseudo-terminal in a test's
// temp folder, and a link to it.
#include "link/chargerlink.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

namespace velmara::test {

class SimulatedCharger {
public:
    ~SimulatedCharger();

    // False (with the reason in error()) when the simulator is not built.
    bool available();
    // Starts the simulator with its pseudo-terminal at linkPath and the further
    // arguments, and waits for the link to appear. False with error() when not.
    bool launch(const QString& linkPath, const QStringList& arguments);
    // launch() at folder/charger, then opens a link to it.
    bool start(const QString& folder, const QStringList& arguments);
    // A control command on the simulator's standard input ("insert 2 NiMH 6 2000").
    void command(const QByteArray& line);
    void stop();

    ChargerLink* link() const { return m_link.get(); }
    const QString& linkPath() const { return m_linkPath; }
    const QString& error() const { return m_error; }

private:
    QString m_binary;
    QString m_error;
    QString m_linkPath;
    QProcess m_process;
    std::unique_ptr<ChargerLink> m_link;
};

} // namespace velmara::test
