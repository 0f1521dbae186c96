#pragma once
// The skin-change message and the small observer mechanism that carries it
// from the skin chooser to the main window.
//
// ObserverImpl keeps its receivers in an ordered map from a running number
// (0, 1, 2 … one per receiver added) to the receiver; Broadcast calls each
// receiver's Receive with its own copy of the parameter in that order.
// ReceiverImpl keeps its observers the same way. Either side forgets the
// other when it is destroyed, so a destroyed receiver is never called.
// A receiver may remove itself (or others) while a broadcast runs: the
// broadcast visits the receivers that are still registered when their turn
// comes.
//
// UI thread only (no locking): skin changes start from clicks.

#include <map>
#include <string>
#include <vector>

#include "ui/core/ui_types.h"

namespace trx::ui {

// One skin change. bColor true: plain colour `bkcolor`, no image.
// bColor false: background image `bgimage` (a name relative to the skin
// folder or a full path), no colour.
struct SkinChangedParam {
  bool bColor = false;
  UiColor bkcolor = 0;  // ARGB
  std::string bgimage;
};

template <typename ReturnT, typename ParamT>
class ReceiverImplBase;

template <typename ReturnT, typename ParamT>
class ObserverImplBase {
 public:
  virtual ~ObserverImplBase() = default;
  virtual void AddReceiver(ReceiverImplBase<ReturnT, ParamT>* receiver) = 0;
  virtual void RemoveReceiver(ReceiverImplBase<ReturnT, ParamT>* receiver) = 0;
  // Calls every receiver's Receive; returns 0.
  virtual ReturnT Broadcast(ParamT param) = 0;
  // Calls every receiver's Respond with this observer; returns 0.
  virtual ReturnT Notify(ParamT param) = 0;
};

template <typename ReturnT, typename ParamT>
class ReceiverImplBase {
 public:
  virtual ~ReceiverImplBase() = default;
  virtual void AddObserver(ObserverImplBase<ReturnT, ParamT>* observer) = 0;
  // Asks every known observer to remove this receiver and forgets them.
  virtual void RemoveObserver() = 0;
  virtual ReturnT Receive(ParamT param) = 0;
  virtual ReturnT Respond(ParamT param, ObserverImplBase<ReturnT, ParamT>* observer) = 0;
  // Used by an observer that goes away or drops this receiver.
  virtual void ForgetObserver(ObserverImplBase<ReturnT, ParamT>* observer) = 0;
};

template <typename ReturnT, typename ParamT>
class ReceiverImpl;

template <typename ReturnT, typename ParamT>
class ObserverImpl : public ObserverImplBase<ReturnT, ParamT> {
 public:
  using Receiver = ReceiverImplBase<ReturnT, ParamT>;

  ObserverImpl() = default;
  ObserverImpl(const ObserverImpl&) = delete;
  ObserverImpl& operator=(const ObserverImpl&) = delete;
  ~ObserverImpl() override {
    const auto receivers = receivers_;
    receivers_.clear();
    for (auto& [number, receiver] : receivers) receiver->ForgetObserver(this);
  }

  // Stores the receiver under the next number and tells it about this
  // observer. Adding a receiver that is already there does nothing.
  void AddReceiver(Receiver* receiver) override {
    if (receiver == nullptr) return;
    for (auto& [number, known] : receivers_)
      if (known == receiver) return;
    receivers_[count_++] = receiver;
    receiver->AddObserver(this);
  }

  void RemoveReceiver(Receiver* receiver) override {
    for (auto it = receivers_.begin(); it != receivers_.end(); ++it) {
      if (it->second == receiver) {
        receivers_.erase(it);
        receiver->ForgetObserver(this);
        return;
      }
    }
  }

  ReturnT Broadcast(ParamT param) override {
    for (int number : Numbers()) {
      auto it = receivers_.find(number);
      if (it != receivers_.end()) it->second->Receive(param);
    }
    return ReturnT{};
  }

  ReturnT Notify(ParamT param) override {
    for (int number : Numbers()) {
      auto it = receivers_.find(number);
      if (it != receivers_.end()) it->second->Respond(param, this);
    }
    return ReturnT{};
  }

  size_t ReceiverCount() const { return receivers_.size(); }

 private:
  // The numbers registered now; a broadcast walks this snapshot and skips
  // receivers removed on the way.
  std::vector<int> Numbers() const {
    std::vector<int> numbers;
    numbers.reserve(receivers_.size());
    for (auto& [number, receiver] : receivers_) numbers.push_back(number);
    return numbers;
  }
  std::map<int, Receiver*> receivers_;
  int count_ = 0;
};

template <typename ReturnT, typename ParamT>
class ReceiverImpl : public ReceiverImplBase<ReturnT, ParamT> {
 public:
  using Observer = ObserverImplBase<ReturnT, ParamT>;

  ReceiverImpl() = default;
  ReceiverImpl(const ReceiverImpl&) = delete;
  ReceiverImpl& operator=(const ReceiverImpl&) = delete;
  ~ReceiverImpl() override { RemoveObserver(); }

  void AddObserver(Observer* observer) override {
    if (observer == nullptr) return;
    for (auto& [number, known] : observers_)
      if (known == observer) return;
    observers_[count_++] = observer;
  }

  void RemoveObserver() override {
    const auto observers = observers_;
    observers_.clear();
    for (auto& [number, observer] : observers) observer->RemoveReceiver(this);
  }

  ReturnT Receive(ParamT) override { return ReturnT{}; }
  ReturnT Respond(ParamT, Observer*) override { return ReturnT{}; }

  void ForgetObserver(Observer* observer) override {
    for (auto it = observers_.begin(); it != observers_.end(); ++it) {
      if (it->second == observer) {
        observers_.erase(it);
        return;
      }
    }
  }

  size_t ObserverCount() const { return observers_.size(); }

 private:
  std::map<int, Observer*> observers_;
  int count_ = 0;
};

using SkinChangedObserver = ObserverImpl<int, SkinChangedParam>;
using SkinChangedReceiver = ReceiverImpl<int, SkinChangedParam>;

// The process-wide skin observer: created on first use, never destroyed.
// The main window adds itself as receiver; the skin chooser broadcasts.
SkinChangedObserver& SkinObserver();

}  // namespace trx::ui
