#pragma once
// How a long operation (a save to a device, an upload) tells the user how
// far it has come. The code doing the work calls Begin once with the number
// of steps, then Advance after each step; the receiver shows it (the main
// window's ring, through posted window messages) and learns the end from
// whoever ran the operation. Any thread may call these; implementations
// never block for long.

namespace trx {

class IProgressReporter {
 public:
  virtual ~IProgressReporter() = default;
  // The operation has `total` steps (at least 1), none done yet.
  virtual void Begin(int total) = 0;
  // `done` of the total steps are finished (0 … total).
  virtual void Advance(int done) = 0;
  // True once the program is shutting down: the operation should stop
  // between two steps (leaving the device consistent) and return.
  virtual bool StopRequested() const { return false; }
};

// Reports to nobody (operations run where no one watches).
class NullProgress : public IProgressReporter {
 public:
  void Begin(int) override {}
  void Advance(int) override {}
};

}  // namespace trx
