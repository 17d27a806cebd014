// What the icon library window needs of the editor that opened it. The
// library declares it and the Customize page implements it, so the library
// never reaches into the page's controls.
#pragma once

#include <string>

namespace velmora {

class LibraryHost {
 public:
  virtual ~LibraryHost() = default;
  // True when the editor's selected entry can take an icon: neither the
  // Menu Buttons nor the Single Buttons root is selected.
  virtual bool HostCanTakeIcon() = 0;
  // OK, or a double click on an icon: `iconPath` ("\icons\" + file name)
  // goes into the Icon box and is confirmed, with the browse timer running.
  virtual void HostIconChosen(const std::string& iconPath) = 0;
  // The user put the window away: OK, Cancel, Esc or its close box. Not
  // called when the editor destroys it.
  virtual void HostLibraryClosed() = 0;
};

}  // namespace velmora
