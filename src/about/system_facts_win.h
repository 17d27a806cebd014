// Gathers what the About box reports from the running system.
#pragma once

#include <string>
#include <vector>

#include "about/system_report.h"

namespace velmora {

SystemFacts GatherSystemFacts();

// Every drive the system lists, in its order. Asking for a drive's sizes can
// touch the drive, so the caller chooses whether to.
std::vector<DriveFacts> GatherDrives(bool withSizes);
// Fills the sizes and label of one drive; a drive that is not ready keeps zeros.
void FillDriveSizes(DriveFacts& drive);

struct ProgramVersion {
  int major = 0;
  int minor = 0;
  int revision = 0;
  std::string copyright;  // the version resource's LegalCopyright, may be empty
};
// From the version resource of the running program; zeros when it has none.
ProgramVersion GatherProgramVersion();

}  // namespace velmora
