// The observer and receiver classes: order of delivery, removal from either
// side, receivers that go away, and the process-wide skin observer.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/dialogs/skin_observer.h"

namespace trx::ui {
namespace {

class Recorder : public SkinChangedReceiver {
 public:
  Recorder(std::vector<std::string>* log, std::string name) : log_(log), name_(std::move(name)) {}
  int Receive(SkinChangedParam param) override {
    log_->push_back(name_ + ":" + param.bgimage);
    param.bgimage = "changed by " + name_;  // its own copy
    if (on_receive) on_receive();
    return 1;
  }
  int Respond(SkinChangedParam param, ObserverImplBase<int, SkinChangedParam>* from) override {
    log_->push_back(name_ + " responds to " + param.bgimage);
    last_observer = from;
    return 1;
  }
  std::function<void()> on_receive;
  ObserverImplBase<int, SkinChangedParam>* last_observer = nullptr;

 private:
  std::vector<std::string>* log_;
  std::string name_;
};

SkinChangedParam Image(const std::string& name) { return {false, 0, name}; }

// Three receivers recording into one log, added to `observer` by each test.
class SkinObserverTest : public ::testing::Test {
 protected:
  std::vector<std::string> log;
  SkinChangedObserver observer;
  Recorder a{&log, "a"}, b{&log, "b"}, c{&log, "c"};
};

TEST_F(SkinObserverTest, BroadcastGoesInAddingOrderOnceEachAndAReaddedReceiverComesLast) {
  observer.AddReceiver(&b);
  observer.AddReceiver(&a);
  observer.AddReceiver(&a);  // twice: delivered once
  observer.AddReceiver(&c);
  EXPECT_EQ(a.ObserverCount(), 1u);
  EXPECT_EQ(observer.Broadcast(Image("x.png")), 0);  // each with its own copy
  EXPECT_EQ(log, (std::vector<std::string>{"b:x.png", "a:x.png", "c:x.png"}));
  log.clear();
  observer.RemoveReceiver(&b);
  EXPECT_EQ(b.ObserverCount(), 0u);
  observer.Broadcast(Image("1"));
  observer.AddReceiver(&b);  // gets the next running number
  observer.Broadcast(Image("2"));
  EXPECT_EQ(log, (std::vector<std::string>{"a:1", "c:1", "a:2", "c:2", "b:2"}));
}

// Also a receiver leaving all its observers (ASan: no dead calls).
TEST_F(SkinObserverTest, ReceiversAndObserversThatGoAwayAreForgotten) {
  SkinChangedObserver first, second;
  first.AddReceiver(&a);
  second.AddReceiver(&a);
  EXPECT_EQ(a.ObserverCount(), 2u);
  a.RemoveObserver();
  EXPECT_EQ(first.ReceiverCount(), 0u);
  EXPECT_EQ(second.ReceiverCount(), 0u);
  first.Broadcast(Image("x"));
  second.Broadcast(Image("y"));
  EXPECT_TRUE(log.empty());
  {
    Recorder gone(&log, "gone");
    observer.AddReceiver(&gone);
    observer.AddReceiver(&b);
  }
  EXPECT_EQ(observer.ReceiverCount(), 1u);
  observer.Broadcast(Image("x"));
  EXPECT_EQ(log, std::vector<std::string>{"b:x"});
  {
    SkinChangedObserver brief;
    brief.AddReceiver(&c);
  }
  EXPECT_EQ(c.ObserverCount(), 0u);
  c.RemoveObserver();  // must not reach the dead observer
}

TEST_F(SkinObserverTest, ReceiverMayRemoveItselfOrALaterOneDuringABroadcast) {
  observer.AddReceiver(&a);
  observer.AddReceiver(&b);
  observer.AddReceiver(&c);
  a.on_receive = [&] {
    observer.RemoveReceiver(&a);
    observer.RemoveReceiver(&b);
  };
  observer.Broadcast(Image("1"));
  observer.Broadcast(Image("2"));
  EXPECT_EQ(log, (std::vector<std::string>{"a:1", "c:1", "c:2"}));
}

TEST_F(SkinObserverTest, NotifyAsksEachReceiverToRespondAndTheDefaultReceiverAnswersZero) {
  observer.AddReceiver(&a);
  observer.AddReceiver(&b);
  EXPECT_EQ(observer.Notify(Image("q")), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"a responds to q", "b responds to q"}));
  EXPECT_EQ(a.last_observer, &observer);
  SkinChangedReceiver plain;
  EXPECT_EQ(plain.Receive(Image("x")), 0);
  EXPECT_EQ(plain.Respond(Image("x"), nullptr), 0);
}

TEST_F(SkinObserverTest, ProcessWideObserverIsOneObject) {
  EXPECT_EQ(&SkinObserver(), &SkinObserver());
  SkinObserver().AddReceiver(&c);
  SkinObserver().Broadcast({true, 0xFF102030, ""});
  EXPECT_EQ(log, std::vector<std::string>{"c:"});
  // `c` unregisters itself when it goes away.
}

}  // namespace
}  // namespace trx::ui
