#pragma once
// A fixture whose test thread owns a fresh UI message queue on the manual
// clock (at 0 ms); the queue is emptied again after the test.

#include <gtest/gtest.h>

#include "ui/window/message_queue.h"

namespace trx::test {

class QueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    queue().ResetForTest();
    queue().BindToCurrentThread();
    queue().UseManualClock(0);
  }
  void TearDown() override { queue().ResetForTest(); }
  static ui::CMessageQueue& queue() { return ui::CMessageQueue::Instance(); }
};

}  // namespace trx::test
