#include "data/stores/threadedstores.h"

#include "data/stores/batteryrecords.h"
#include "data/stores/importstaging.h"
#include "data/stores/programstore.h"
#include "data/stores/valuestore.h"

namespace velmara {

namespace {

class ThreadedBatteryRecords final : public BatteryRecords {
public:
    ThreadedBatteryRecords(StoreThread& thread, BatteryRecords& inner)
        : m_thread(thread), m_inner(inner) {}

    Result<void> inOneStep(const std::function<Result<void>()>& work) override {
        return m_thread.call([&] { return m_inner.inOneStep(work); });
    }
    Result<QVector<BatteryRow>> batteries() override {
        return m_thread.call([&] { return m_inner.batteries(); });
    }
    Result<QVector<SeriesRow>> seriesOf(qint32 batteryId) override {
        return m_thread.call([&] { return m_inner.seriesOf(batteryId); });
    }
    Result<std::optional<SeriesRow>> seriesById(qint32 seriesId) override {
        return m_thread.call([&] { return m_inner.seriesById(seriesId); });
    }
    Result<int> countNamed(const QString& name) override {
        return m_thread.call([&] { return m_inner.countNamed(name); });
    }
    Result<bool> batteryExists(qint32 batteryId) override {
        return m_thread.call([&] { return m_inner.batteryExists(batteryId); });
    }
    Result<int> highestNumber(qint32 batteryId) override {
        return m_thread.call([&] { return m_inner.highestNumber(batteryId); });
    }
    Result<qint32> insertBattery(const QString& name, const QString& remark) override {
        return m_thread.call([&] { return m_inner.insertBattery(name, remark); });
    }
    Result<qint32> insertSeries(const NewSeries& series) override {
        return m_thread.call([&] { return m_inner.insertSeries(series); });
    }
    Result<void> setNumber(qint32 seriesId, int number) override {
        return m_thread.call([&] { return m_inner.setNumber(seriesId, number); });
    }
    Result<void> setProgram(qint32 seriesId, const QString& program, const QString& mode) override {
        return m_thread.call([&] { return m_inner.setProgram(seriesId, program, mode); });
    }
    Result<DeletionLoss> lossOfBattery(qint32 batteryId) override {
        return m_thread.call([&] { return m_inner.lossOfBattery(batteryId); });
    }
    Result<DeletionLoss> lossOfSeries(qint32 seriesId) override {
        return m_thread.call([&] { return m_inner.lossOfSeries(seriesId); });
    }
    Result<void> removeSeries(qint32 seriesId) override {
        return m_thread.call([&] { return m_inner.removeSeries(seriesId); });
    }
    Result<void> closeGap(qint32 batteryId, int number) override {
        return m_thread.call([&] { return m_inner.closeGap(batteryId, number); });
    }
    Result<void> removeBattery(qint32 batteryId) override {
        return m_thread.call([&] { return m_inner.removeBattery(batteryId); });
    }
    Result<void> markImporting(qint32 seriesId, std::optional<qint32> newBattery) override {
        return m_thread.call([&] { return m_inner.markImporting(seriesId, newBattery); });
    }
    Result<void> unmarkImporting(qint32 seriesId) override {
        return m_thread.call([&] { return m_inner.unmarkImporting(seriesId); });
    }

private:
    StoreThread& m_thread;
    BatteryRecords& m_inner;
};

class ThreadedProgramStore final : public ProgramStore {
public:
    ThreadedProgramStore(StoreThread& thread, ProgramStore& inner)
        : m_thread(thread), m_inner(inner) {}
    Result<QVector<StoredProgram>> all() override {
        return m_thread.call([&] { return m_inner.all(); });
    }
    Result<std::optional<StoredProgram>> byId(qint64 id) override {
        return m_thread.call([&] { return m_inner.byId(id); });
    }
    Result<qint64> insert(const QString& name, const QString& text) override {
        return m_thread.call([&] { return m_inner.insert(name, text); });
    }
    Result<void> overwrite(qint64 id, const QString& text) override {
        return m_thread.call([&] { return m_inner.overwrite(id, text); });
    }
    Result<bool> remove(qint64 id) override {
        return m_thread.call([&] { return m_inner.remove(id); });
    }

private:
    StoreThread& m_thread;
    ProgramStore& m_inner;
};

class ThreadedCursor final : public ValueCursor {
public:
    ThreadedCursor(StoreThread& thread, std::unique_ptr<ValueCursor> inner)
        : m_thread(thread), m_inner(std::move(inner)) {}
    Result<int> read(int maxRows, const ValueVisitor& visit) override {
        return m_thread.call([&] { return m_inner->read(maxRows, visit); });
    }

private:
    StoreThread& m_thread;
    std::unique_ptr<ValueCursor> m_inner;
};

// Temporary series from the user file, the series' values from the server.
class ThreadedValueStore final : public ValueStore {
public:
    ThreadedValueStore(StoreThread& thread, ValueStore& inner, ValueStore& local)
        : m_thread(thread), m_inner(inner), m_local(local) {}

    Result<qint64> append(ValueTable table, qint32 seriesId, bool endValue,
                          const QString& text) override {
        if (table == ValueTable::Temporary)
            return m_local.append(table, seriesId, endValue, text);
        return m_thread.call([&] { return m_inner.append(table, seriesId, endValue, text); });
    }
    Result<void> adoptTemporarySeries(qint32 temporaryId, qint32 seriesId) override {
        return m_local.adoptTemporarySeries(temporaryId, seriesId);
    }
    Result<void> clearTemporary() override { return m_local.clearTemporary(); }
    Result<std::optional<qint64>> lastValueId(ValueTable table, qint32 seriesId) override {
        if (table == ValueTable::Temporary)
            return m_local.lastValueId(table, seriesId);
        return m_thread.call([&] { return m_inner.lastValueId(table, seriesId); });
    }
    Result<void> visit(const ValueRange& range, const ValueVisitor& visit) override {
        if (range.table == ValueTable::Temporary)
            return m_local.visit(range, visit);
        return m_thread.call([&] { return m_inner.visit(range, visit); });
    }
    Result<void> visitEndValuesOfBattery(qint32 batteryId, const ValueVisitor& visit) override {
        return m_thread.call([&] { return m_inner.visitEndValuesOfBattery(batteryId, visit); });
    }
    Result<std::unique_ptr<ValueCursor>> openStretch(const ValueRange& range) override {
        if (range.table == ValueTable::Temporary)
            return m_local.openStretch(range);
        auto opened = m_thread.call([&] { return m_inner.openStretch(range); });
        if (!opened)
            return Failure{opened.error()};
        return std::unique_ptr<ValueCursor>(
            std::make_unique<ThreadedCursor>(m_thread, std::move(*opened)));
    }

private:
    StoreThread& m_thread;
    ValueStore& m_inner;
    ValueStore& m_local;
};

class ThreadedStaging final : public ImportStaging {
public:
    ThreadedStaging(StoreThread& thread, std::unique_ptr<ImportStaging> inner)
        : m_thread(thread), m_inner(std::move(inner)) {}
    ~ThreadedStaging() override {
        m_thread.call([&] {
            m_inner.reset(); // ends its staging on the server
            return true;
        });
    }
    Result<void> begin() override {
        return m_thread.call([&] { return m_inner->begin(); });
    }
    Result<qint64> add(const QVector<StagedValue>& values) override {
        return m_thread.call([&] { return m_inner->add(values); });
    }
    void end() override {
        m_thread.call([&] {
            m_inner->end();
            return true;
        });
    }
    void holdSyncs(bool hold) override { m_inner->holdSyncs(hold); }
    Result<void> inSlice(const std::function<Result<void>()>& work, bool durable) override {
        return m_thread.call([&] { return m_inner->inSlice(work, durable); });
    }
    Result<void> moveInto(qint32 seriesId, qint64 from, qint64 to) override {
        return m_thread.call([&] { return m_inner->moveInto(seriesId, from, to); });
    }
    Result<void> removeSome(qint32 seriesId, qint64 n) override {
        return m_thread.call([&] { return m_inner->removeSome(seriesId, n); });
    }
    Result<int> removeUnfinished(qint32 seriesId) override {
        return m_thread.call([&] { return m_inner->removeUnfinished(seriesId); });
    }

private:
    StoreThread& m_thread;
    std::unique_ptr<ImportStaging> m_inner;
};

class ThreadedStores final : public UserStores {
public:
    ThreadedStores(StoreThread& thread, UserStores& server, ValueStore& local)
        : m_thread(thread), m_server(server), m_values(thread, server.values(), local),
          m_batteries(thread, server.batteries()), m_programs(thread, server.programs()) {}
    ValueStore& values() override { return m_values; }
    BatteryRecords& batteries() override { return m_batteries; }
    ProgramStore& programs() override { return m_programs; }
    std::unique_ptr<ImportStaging> newImportStaging() override {
        auto inner = m_thread.call([&] { return m_server.newImportStaging(); });
        return std::make_unique<ThreadedStaging>(m_thread, std::move(inner));
    }

private:
    StoreThread& m_thread;
    UserStores& m_server;
    ThreadedValueStore m_values;
    ThreadedBatteryRecords m_batteries;
    ThreadedProgramStore m_programs;
};

} // namespace

std::unique_ptr<UserStores> makeThreadedStores(StoreThread& thread, UserStores& server,
                                               ValueStore& local) {
    return std::make_unique<ThreadedStores>(thread, server, local);
}

} // namespace velmara
