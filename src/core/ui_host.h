// The two things the launching logic asks of the user interface itself.
#pragma once

#include <string>

namespace velmora {

class UiHost {
 public:
  virtual ~UiHost() = default;
  // Loads the Net Search window when needed, shows it normally and in front.
  virtual void ShowNetSearch() = 0;
  // Lets waiting window messages run. Handlers that run here may change
  // anything the caller holds: it is the program's one point of re-entrancy.
  virtual void DoEvents() = 0;
};

// The tool-tip box beside the mouse pointer.
class ToolTip {
 public:
  virtual ~ToolTip() = default;
  virtual void Show(const std::string& text) = 0;
  virtual void Hide() = 0;
  virtual bool Showing() const = 0;
};

}  // namespace velmora
