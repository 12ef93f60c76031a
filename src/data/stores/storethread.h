#pragma once
// A thread of its own for stores whose calls wait for a server. A call from
// the user interface's thread runs there while this thread's event loop goes
// on (windows repaint, timers and the charger's answers are served; the
// user's clicks and keys wait until the answer is in); every call on the
// other side is bounded by the server's waits, so the wait ends. A call made
// on the store thread itself (the work of a transaction) runs at once.
#include <QCoroSignal>
#include <QCoroTask>
#include <QEventLoop>
#include <QObject>
#include <QThread>

#include <functional>
#include <memory>
#include <optional>

namespace velmara {

// Tells the waiting thread that a call's result is in.
class StoreCallDone : public QObject {
    Q_OBJECT
Q_SIGNALS:
    void done();
};

class StoreThread {
public:
    StoreThread();
    ~StoreThread();
    StoreThread(const StoreThread&) = delete;
    StoreThread& operator=(const StoreThread&) = delete;

    bool isCurrent() const { return QThread::currentThread() == &m_thread; }

    // Runs work there and returns its result, the caller's event loop running meanwhile.
    template <class F> auto call(F&& work) -> decltype(work()) {
        using R = decltype(work());
        if (isCurrent())
            return work();
        auto box = std::make_shared<Box<R>>();
        QEventLoop loop;
        box->loop = &loop;
        post([box, &work]() mutable { Box<R>::finish(work(), std::move(box)); });
        if (!box->done)
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        box->loop = nullptr;
        return std::move(*box->result);
    }

    // The same for a coroutine: it resumes once the work is done.
    template <class F> auto await(F work) -> QCoro::Task<decltype(work())> {
        using R = decltype(work());
        auto box = std::make_shared<Box<R>>();
        post([box, work = std::move(work)]() mutable { Box<R>::finish(work(), std::move(box)); });
        if (!box->done)
            co_await qCoro(box->signal.get(), &StoreCallDone::done);
        co_return std::move(*box->result);
    }

private:
    template <class R> struct Box {
        std::optional<R> result;
        bool done = false;
        QEventLoop* loop = nullptr;
        // Made on the waiting thread, and let go there.
        std::unique_ptr<StoreCallDone> signal = std::make_unique<StoreCallDone>();
        // On the store thread: hands the result over; the box is the waiting
        // thread's again from here.
        static void finish(R value, std::shared_ptr<Box> self) {
            QObject* home = self->signal.get();
            self->result.emplace(std::move(value));
            QMetaObject::invokeMethod(
                home,
                [self = std::move(self)] {
                    self->done = true;
                    if (self->loop)
                        self->loop->quit();
                    Q_EMIT self->signal->done();
                },
                Qt::QueuedConnection);
        }
    };
    void post(std::function<void()> job);

    QThread m_thread;
    QObject* m_worker = nullptr;
};

} // namespace velmara
