#include "ui/window/operation_runner.h"

#include <algorithm>
#include <atomic>
#include <string>

#include "ui/core/progress.h"
#include "ui/window/win_api.h"

namespace trx::ui {

class COperationRunner::PostingReporter : public IProgressReporter {
 public:
  PostingReporter(const COperationRunner& runner) : runner_(runner) {}
  void Begin(int total) override {
    total_ = std::max(1, total);
    Post(0);
  }
  void Advance(int done) override { Post(std::clamp(done, 0, total_)); }
  bool StopRequested() const override {
    std::lock_guard<std::mutex> lock(runner_.mutex_);
    return runner_.stopping_;
  }

 private:
  // A window that is gone takes nothing: there is no one left to show it to.
  void Post(int done) { PostMessage(runner_.target_, runner_.progress_msg_, static_cast<WPARAM>(done), total_); }
  const COperationRunner& runner_;
  int total_ = 1;
};

COperationRunner::COperationRunner(HWND target, UINT progress_msg, UINT finished_msg)
    : target_(target), progress_msg_(progress_msg), finished_msg_(finished_msg) {}

COperationRunner::~COperationRunner() { Stop(); }

bool COperationRunner::Run(DeviceOperation operation) {
  if (!operation) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  if (stopping_) return false;
  queue_.push_back(std::move(operation));
  if (!worker_.joinable()) worker_ = std::thread([this] { WorkerLoop(); });
  wake_.notify_one();
  return true;
}

bool COperationRunner::Busy() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_ || !queue_.empty();
}

void COperationRunner::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    queue_.clear();
    wake_.notify_one();
  }
  if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
}

void COperationRunner::WorkerLoop() {
  for (;;) {
    DeviceOperation operation;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      operation = std::move(queue_.front());
      queue_.pop_front();
      running_ = true;
    }
    PostingReporter reporter(*this);
    const int result = operation(reporter);
    PostMessage(target_, finished_msg_, static_cast<WPARAM>(static_cast<std::intptr_t>(result)), 0);
    std::lock_guard<std::mutex> lock(mutex_);
    running_ = false;
  }
}

void ShowOperationProgress(CProgressUI* control, int done, int total) {
  if (control == nullptr || total < 1) return;
  done = std::clamp(done, 0, total);
  control->SetMinValue(0);
  control->SetMaxValue(total);
  control->SetValue(done);
  const long long percent = static_cast<long long>(done) * 100 / total;
  control->SetText(std::to_string(percent) + "%");
  control->SetVisible(true);
}

}  // namespace trx::ui
