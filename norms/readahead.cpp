#include "readahead.h"

#include <QFile>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <variant>
#include <vector>

namespace norms {

namespace {

struct EndCollection
{
};
struct EndSection
{
};
using Event = std::variant<xml::BaseHeader, xml::Collection, EndCollection, xml::Section,
                           EndSection, xml::Norm, xml::CatalogueEntry>;
using Batch = std::vector<Event>;

// Enough to keep the writer busy while the reader refills it, little enough to stay small.
constexpr std::size_t kEventsPerBatch = 512;
constexpr std::size_t kBatchesAhead = 4;

class BatchQueue
{
public:
    // Waits for room unless the reading is to stop, when the batch is dropped.
    void push(Batch batch)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_batches.size() < kBatchesAhead || m_stop; });
        if (!m_stop)
            m_batches.push_back(std::move(batch));
        m_changed.notify_all();
    }
    void finish()
    {
        const std::lock_guard lock(m_mutex);
        m_finished = true;
        m_changed.notify_all();
    }
    bool stopped() const { return m_stopFlag.load(std::memory_order_relaxed); }
    // Waits for the next batch; false when the reading has ended and every batch is taken.
    bool pop(Batch &batch)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_batches.empty() || m_finished; });
        if (m_batches.empty())
            return false;
        batch = std::move(m_batches.front());
        m_batches.pop_front();
        m_changed.notify_all();
        return true;
    }
    // Drops what is queued and lets the reader see it is to stop at its next norm.
    void requestStop()
    {
        m_stopFlag.store(true, std::memory_order_relaxed);
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_batches.clear();
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_batches;
    bool m_finished = false;
    bool m_stop = false;
    std::atomic<bool> m_stopFlag{false};
};

// The reading thread's sink: collects events into batches for the writer.
class BatchingSink : public xml::Sink
{
public:
    BatchingSink(BatchQueue &queue, const QFile &file, std::atomic<qint64> &bytesRead)
        : m_queue(queue), m_file(file), m_bytesRead(bytesRead)
    {
        m_batch.reserve(kEventsPerBatch);
    }
    void base(const xml::BaseHeader &header) override { add(header); }
    void beginCollection(const xml::Collection &collection) override { add(collection); }
    void endCollection() override { add(EndCollection{}); }
    void beginSection(const xml::Section &section) override { add(section); }
    void endSection() override { add(EndSection{}); }
    void norm(const xml::Norm &norm) override { add(norm); }
    void catalogueEntry(const xml::CatalogueEntry &entry) override { add(entry); }
    bool stopRequested() override { return m_queue.stopped(); }
    void flush()
    {
        m_bytesRead.store(m_file.pos(), std::memory_order_relaxed);
        if (m_batch.empty())
            return;
        m_queue.push(std::move(m_batch));
        m_batch = Batch();
        m_batch.reserve(kEventsPerBatch);
    }

private:
    template <typename T> void add(const T &event)
    {
        m_batch.emplace_back(event);
        if (m_batch.size() >= kEventsPerBatch)
            flush();
    }

    BatchQueue &m_queue;
    const QFile &m_file;
    std::atomic<qint64> &m_bytesRead;
    Batch m_batch;
};

// Replays one event into the writer's sink; true when the writer asks to stop.
bool replay(Event &event, xml::Sink &sink)
{
    return std::visit(
        [&](auto &value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, xml::BaseHeader>)
                sink.base(value);
            else if constexpr (std::is_same_v<T, xml::Collection>)
                sink.beginCollection(value);
            else if constexpr (std::is_same_v<T, EndCollection>)
                sink.endCollection();
            else if constexpr (std::is_same_v<T, xml::Section>)
                sink.beginSection(value);
            else if constexpr (std::is_same_v<T, EndSection>)
                sink.endSection();
            else if constexpr (std::is_same_v<T, xml::Norm>) {
                sink.norm(value);
                return sink.stopRequested();
            } else {
                sink.catalogueEntry(value);
                return sink.stopRequested();
            }
            return false;
        },
        event);
}

} // namespace

xml::ReadResult readAhead(const QString &path, xml::Sink &sink, std::atomic<qint64> &bytesRead)
{
    BatchQueue queue;
    xml::ReadResult read;
    bytesRead.store(0, std::memory_order_relaxed);
    std::thread reader([&] {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            BatchingSink batching(queue, file, bytesRead);
            read = xml::Reader(file, batching).read();
            batching.flush();
        } else {
            read.outcome = xml::Outcome::OtherKind;
        }
        queue.finish();
    });
    // The thread is stopped and joined however this ends, the writer's failures included.
    struct Join
    {
        BatchQueue &queue;
        std::thread &thread;
        ~Join()
        {
            queue.requestStop();
            thread.join();
        }
    } join{queue, reader};
    Batch batch;
    while (queue.pop(batch)) {
        for (Event &event : batch) {
            if (replay(event, sink)) {
                xml::ReadResult stopped;
                stopped.outcome = xml::Outcome::Stopped;
                return stopped;
            }
        }
    }
    // pop() has seen the reader finish, after which it writes nothing more.
    return read;
}

} // namespace norms
