// Answers the message boxes of this process from a helper thread, so code
// that shows a modal box can run inside a test.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct AnsweredBox {
    std::string caption;
    std::string text;
};

class MessageBoxWatcher {
  public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // Every box answered so far; a box that was shown has been answered by
    // the time the call that showed it returns.
    std::vector<AnsweredBox> Boxes();

  private:
    void Watch();

    std::atomic<bool> stopping{false};
    std::mutex lock;
    std::vector<AnsweredBox> boxes;
    std::thread thread;
};
