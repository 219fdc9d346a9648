#pragma once

// Collects the message boxes the program shows instead of opening them.

#include <vector>

#include "app/ProcFunc.h"

namespace testsupport {

class MessageBoxRecorder {
 public:
  MessageBoxRecorder() {
    previous_ = ProcFunc::SetMessageBoxPresenter([this](const ProcFunc::MessageBoxRequest& box) {
      boxes.push_back(box);
      return ProcFunc::kIdOk;
    });
  }
  ~MessageBoxRecorder() { ProcFunc::SetMessageBoxPresenter(std::move(previous_)); }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  std::vector<ProcFunc::MessageBoxRequest> boxes;

 private:
  ProcFunc::MessageBoxPresenter previous_;
};

}  // namespace testsupport
