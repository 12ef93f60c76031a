#include "data/stores/storethread.h"

namespace velmara {

StoreThread::StoreThread() {
    m_thread.setObjectName(QStringLiteral("velmara stores"));
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    m_thread.start();
}

StoreThread::~StoreThread() {
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void StoreThread::post(std::function<void()> job) {
    QMetaObject::invokeMethod(m_worker, std::move(job), Qt::QueuedConnection);
}

} // namespace velmara
