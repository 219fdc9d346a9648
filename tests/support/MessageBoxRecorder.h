#pragma once

// Collects the message boxes shown through it instead of opening them.

#include <vector>

#include "app/ProcFunc.h"
#include "platform/MessageStyle.h"

namespace testsupport {

class MessageBoxRecorder : public ProcFunc::MessageBoxes {
 public:
  int Show(const ProcFunc::MessageBoxRequest& request) override {
    boxes.push_back(request);
    return platform::kMessageOk;
  }

  std::vector<ProcFunc::MessageBoxRequest> boxes;
};

}  // namespace testsupport
