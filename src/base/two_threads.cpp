// The helper thread behind RunAlongside, and SplitOverTwoThreads on top of it.
#include "base/two_threads.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// Takes one job at a time and lives until the program ends.
class HelperThread {
public:
    static HelperThread& Instance()
    {
        static HelperThread helper;
        return helper;
    }

    void Start(void (*body)(const void*), const void* context)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_body = body;
        m_context = context;
        m_cue.notify_one();
    }

    void Wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [this] { return m_body == nullptr; });
    }

    ~HelperThread()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
            m_cue.notify_one();
        }
        m_thread.join();
    }

    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

private:
    HelperThread() : m_thread([this] { Serve(); }) {}

    void Serve()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_cue.wait(lock, [this] { return m_stopping || m_body != nullptr; });
            if (m_stopping) return;
            lock.unlock();
            m_body(m_context);
            lock.lock();
            m_body = nullptr;
            m_done.notify_one();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_cue, m_done;
    void (*m_body)(const void*) = nullptr;
    const void* m_context = nullptr;
    bool m_stopping = false;
    std::thread m_thread; // last: starts once everything it reads is made
};

// Waits for the helper even when the calling thread's work throws: the helper's work may read
// what the caller's frame owns.
class HelperJoin {
public:
    explicit HelperJoin(HelperThread& helper) : m_helper(helper) {}
    ~HelperJoin() { m_helper.Wait(); }
    HelperJoin(const HelperJoin&) = delete;
    HelperJoin& operator=(const HelperJoin&) = delete;

private:
    HelperThread& m_helper;
};

// The helper, or nullptr where the system gives no second thread (a page's WebAssembly without
// shared memory, a process at its limit of threads): the work then runs on the calling thread,
// one part after the other, which the parts allow, as neither reads what the other writes.
HelperThread* Helper()
{
    static HelperThread* const helper = []() -> HelperThread* {
        try {
            return &HelperThread::Instance();
        } catch (const std::system_error&) {
            return nullptr;
        }
    }();
    return helper;
}

} // namespace

void RunAlongside(void (*background)(const void* context), const void* backgroundContext,
                  void (*foreground)(const void* context), const void* foregroundContext)
{
    HelperThread* const helper = Helper();
    if (!helper) {
        foreground(foregroundContext);
        background(backgroundContext);
        return;
    }
    helper->Start(background, backgroundContext);
    const HelperJoin join(*helper);
    foreground(foregroundContext);
}

void SplitOverTwoThreads(int count, void (*body)(const void* context, int begin, int end), const void* context)
{
    if (count <= 0) return;
    const int half = count / 2;
    RunAlongside([&] { body(context, half, count); }, [&] { body(context, 0, half); });
}
