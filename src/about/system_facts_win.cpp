#include "about/system_facts_win.h"

#include <windows.h>

#include <cstdio>

namespace velmora {

namespace {

// An empty floppy or card reader must fail quietly instead of asking the user
// to insert a disk.
class QuietDriveErrors {
 public:
  QuietDriveErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_); }
  ~QuietDriveErrors() { SetThreadErrorMode(old_, nullptr); }
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

 private:
  DWORD old_ = 0;
};

std::string DriveStrings() {
  // Ask for the size first: a machine with many drives and network mappings
  // needs more than any fixed buffer.
  DWORD needed = GetLogicalDriveStringsA(0, nullptr);
  for (int attempt = 0; attempt < 3 && needed > 0; ++attempt) {
    std::string buffer(static_cast<std::size_t>(needed) + 1, '\0');
    const DWORD got = GetLogicalDriveStringsA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (got == 0) break;
    if (got < buffer.size()) {
      buffer.resize(got + 1);  // keep the list's closing NUL
      return buffer;
    }
    needed = got;  // a drive appeared in between
  }
  return {};
}

std::string FolderBuffer(UINT (*get)(char*, UINT)) {
  std::string buffer(MAX_PATH, '\0');
  const UINT got = get(buffer.data(), MAX_PATH);
  if (got == 0 || got >= MAX_PATH) return {};
  buffer.resize(got);
  return buffer;
}

UINT WindowsDirectory(char* buffer, UINT size) { return GetWindowsDirectoryA(buffer, size); }
UINT TempDirectory(char* buffer, UINT size) { return GetTempPathA(size, buffer); }

}  // namespace

SystemFacts GatherSystemFacts() {
  SystemFacts facts;
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  // Deprecated but exactly what the page shows; what it answers depends on
  // the program's manifest, which declares the systems we know.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL versionOk = GetVersionExA(&version);
#pragma GCC diagnostic pop
  if (versionOk) {
    facts.versionKnown = true;
    facts.platformId = version.dwPlatformId;
    facts.majorVersion = version.dwMajorVersion;
    facts.minorVersion = version.dwMinorVersion;
    facts.buildNumber = version.dwBuildNumber;
  }

  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  facts.processorType = info.dwProcessorType;

  // The Ex form: the old one stops counting at 4 GB.
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  if (GlobalMemoryStatusEx(&memory)) facts.totalPhysicalBytes = memory.ullTotalPhys;

  facts.logicalDrives = DriveStrings();
  facts.windowsDirectory = FolderBuffer(&WindowsDirectory);
  facts.tempDirectory = FolderBuffer(&TempDirectory);
  return facts;
}

std::vector<DriveFacts> GatherDrives(bool withSizes) {
  std::vector<DriveFacts> drives;
  const std::string list = DriveStrings();
  for (std::size_t at = 0; at < list.size() && list[at] != '\0';) {
    const std::size_t end = list.find('\0', at);
    DriveFacts drive;
    drive.root = list.substr(at, end == std::string::npos ? std::string::npos : end - at);
    drive.kind = static_cast<DriveKind>(GetDriveTypeA(drive.root.c_str()));
    if (withSizes) FillDriveSizes(drive);
    drives.push_back(std::move(drive));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return drives;
}

void FillDriveSizes(DriveFacts& drive) {
  QuietDriveErrors quiet;
  drive.sectorsPerCluster = drive.bytesPerSector = 0;
  drive.freeClusters = drive.totalClusters = 0;
  drive.bytesKnown = false;
  drive.totalBytes = drive.freeBytes = 0;
  drive.label.clear();

  DWORD spc = 0, bps = 0, freeClusters = 0, totalClusters = 0;
  if (GetDiskFreeSpaceA(drive.root.c_str(), &spc, &bps, &freeClusters, &totalClusters)) {
    drive.sectorsPerCluster = spc;
    drive.bytesPerSector = bps;
    drive.freeClusters = freeClusters;
    drive.totalClusters = totalClusters;
  }
  // The cluster counts above may be capped by the system for old callers;
  // the Ex form gives the true byte counts. Free means free on the volume,
  // not what a quota leaves this user.
  ULARGE_INTEGER available{}, total{}, totalFree{};
  if (GetDiskFreeSpaceExA(drive.root.c_str(), &available, &total, &totalFree)) {
    drive.bytesKnown = true;
    drive.totalBytes = total.QuadPart;
    drive.freeBytes = totalFree.QuadPart;
  }
  char label[MAX_PATH + 1] = "";
  if (GetVolumeInformationA(drive.root.c_str(), label, sizeof label, nullptr, nullptr, nullptr,
                            nullptr, 0))
    drive.label = label;
}

ProgramVersion GatherProgramVersion() {
  ProgramVersion result;
  char path[MAX_PATH] = "";
  const DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (len == 0 || len >= MAX_PATH) return result;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return result;
  std::string data(size, '\0');
  if (!GetFileVersionInfoA(path, 0, size, data.data())) return result;

  void* value = nullptr;
  UINT valueLen = 0;
  if (VerQueryValueA(data.data(), "\\", &value, &valueLen) && valueLen >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    result.major = HIWORD(fixed->dwFileVersionMS);
    result.minor = LOWORD(fixed->dwFileVersionMS);
    // The resource's third number, as in its "2.5.0" version text.
    result.revision = HIWORD(fixed->dwFileVersionLS);
  }
  if (VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &value, &valueLen) &&
      valueLen >= 4) {
    const auto* pair = static_cast<const WORD*>(value);
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\LegalCopyright", pair[0],
                  pair[1]);
    if (VerQueryValueA(data.data(), query, &value, &valueLen) && valueLen > 0)
      result.copyright = static_cast<const char*>(value);
  }
  return result;
}

}  // namespace velmora
