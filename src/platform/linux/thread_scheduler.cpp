#include "platform/linux/thread_scheduler.h"

#include <algorithm>
#include <deque>
#include <tuple>
#include <utility>

namespace kd {

// Threads taking tasks in order from one shared list; with one thread, tasks
// run one at a time in posting order.
class ThreadScheduler::TaskQueue {
  public:
    explicit TaskQueue(std::size_t threadCount) {
        threads_.reserve(threadCount);
        try {
            for (std::size_t i = 0; i < threadCount; ++i) threads_.emplace_back([this] { run(); });
        } catch (...) {
            close();
            join();
            throw;
        }
    }
    ~TaskQueue() {
        close();
        join();
    }
    TaskQueue(const TaskQueue&) = delete;
    TaskQueue& operator=(const TaskQueue&) = delete;

    void push(Task task) {
        {
            std::lock_guard lock(mutex_);
            if (closed_) return;
            tasks_.push_back(std::move(task));
        }
        wake_.notify_one();
    }

    // Drops the tasks not yet started; running ones go on until join.
    void close() {
        std::deque<Task> dropped;
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
            dropped.swap(tasks_);
        }
        wake_.notify_all();
        // `dropped` is destroyed here, outside the lock, because destroying a
        // task's captures may post to this very queue.
    }

    void join() {
        for (auto& thread : threads_) {
            if (thread.joinable()) thread.join();
        }
    }

  private:
    void run() {
        for (;;) {
            Task task;
            {
                std::unique_lock lock(mutex_);
                // Idle until work or close(), which every owner calls before join().
                wake_.wait(lock, [this] { return closed_ || !tasks_.empty(); });
                if (closed_) return;
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> tasks_;
    bool closed_ = false;
    std::vector<std::thread> threads_;
};

// The one copy of a delayed task, shared by the timer and every TimerHandle.
class ThreadScheduler::TimedTask {
  public:
    explicit TimedTask(Task task) : task_(std::move(task)) {}

    // Whoever takes first, the run or a cancel, wins; later takers get nothing.
    Task take() {
        std::lock_guard lock(mutex_);
        return std::exchange(task_, Task{});
    }

  private:
    std::mutex mutex_;
    Task task_;
};

bool ThreadScheduler::Timer::operator<(const Timer& other) const {
    return std::tie(due, sequence) > std::tie(other.due, other.sequence);
}

ThreadScheduler::ThreadScheduler(MainLoopPoster postToMain)
    : postToMain_(std::move(postToMain)), mainThread_(std::this_thread::get_id()) {}

ThreadScheduler::~ThreadScheduler() {
    {
        std::priority_queue<Timer> dropped;
        {
            std::lock_guard lock(timerMutex_);
            timersStopped_ = true;
            dropped.swap(timers_);
        }
        timerWake_.notify_all();
        if (timerThread_.joinable()) timerThread_.join();
    }

    std::vector<std::shared_ptr<TaskQueue>> queues;
    {
        std::lock_guard lock(queuesMutex_);
        queuesClosed_ = true;
        for (auto& entry : serialQueues_) queues.push_back(std::move(entry.second));
        serialQueues_.clear();
        if (background_) queues.push_back(std::move(background_));
    }
    // Every queue is closed before any is joined, so none keeps starting
    // tasks while another's running task is awaited.
    for (auto& queue : queues) queue->close();
    for (auto& queue : queues) queue->join();
}

void ThreadScheduler::post(const Queue& queue, Task task) {
    switch (queue.kind()) {
        case Queue::Kind::main:
            postToMain_(std::move(task));
            break;
        case Queue::Kind::background:
            if (auto pool = backgroundQueue()) pool->push(std::move(task));
            break;
        case Queue::Kind::serial:
            if (auto serial = serialQueue(queue.label())) serial->push(std::move(task));
            break;
    }
}

TimerHandle ThreadScheduler::after(Duration delay, const Queue& queue, Task task) {
    auto timed = std::make_shared<TimedTask>(std::move(task));
    {
        std::lock_guard lock(timerMutex_);
        if (!timersStopped_) {
            if (!timerThread_.joinable()) timerThread_ = std::thread([this] { runTimers(); });
            timers_.push(
                Timer{now() + std::max(delay, Duration::zero()), nextSequence_++, queue, timed});
        }
    }
    timerWake_.notify_one();
    // Weak, so a handle captured by its own task does not keep that task alive.
    return TimerHandle(
        std::make_shared<std::function<void()>>([weak = std::weak_ptr<TimedTask>(timed)] {
            if (auto live = weak.lock()) live->take();
        }));
}

void ThreadScheduler::runTimers() {
    std::unique_lock lock(timerMutex_);
    while (!timersStopped_) {
        if (timers_.empty()) {
            // Idle until after() or the destructor, which always notifies.
            timerWake_.wait(lock);
            continue;
        }
        const TimePoint due = timers_.top().due;
        if (Clock::now() < due) {
            timerWake_.wait_until(lock, due);
            continue;
        }
        Timer timer = timers_.top();
        timers_.pop();
        lock.unlock();
        post(timer.queue, [timed = std::move(timer.task)] {
            // Taken at start rather than at hand-over, so a cancel that comes
            // while it waits in its queue still stops it.
            if (Task task = timed->take()) task();
        });
        lock.lock();
    }
}

std::shared_ptr<ThreadScheduler::TaskQueue> ThreadScheduler::backgroundQueue() {
    std::lock_guard lock(queuesMutex_);
    if (queuesClosed_) return nullptr;
    if (!background_) {
        background_ =
            std::make_shared<TaskQueue>(std::max(2U, std::thread::hardware_concurrency()));
    }
    return background_;
}

std::shared_ptr<ThreadScheduler::TaskQueue> ThreadScheduler::serialQueue(const std::string& label) {
    std::lock_guard lock(queuesMutex_);
    if (queuesClosed_) return nullptr;
    auto found = serialQueues_.find(label);
    if (found == serialQueues_.end()) {
        found = serialQueues_.emplace(label, std::make_shared<TaskQueue>(1)).first;
    }
    return found->second;
}

}  // namespace kd
