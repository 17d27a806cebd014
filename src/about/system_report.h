// The lines of the About box's "System" and "Drives" pages, built from facts the
// Windows layer gathers. Kept free of Windows headers so every label, separator
// and number format can be checked natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// What the system page reports. The Windows layer fills it in one go.
struct SystemFacts {
  bool versionKnown = false;  // false: asking for the version failed, nothing is printed
  std::uint32_t platformId = 0;
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t processorType = 0;
  std::uint64_t totalPhysicalBytes = 0;
  std::string logicalDrives;     // the drive strings as the system returns them: "C:\<NUL>D:\<NUL>"
  std::string windowsDirectory;  // raw buffer text; may carry NULs and blanks
  std::string tempDirectory;
};

// GetDriveType's answers, numbered as the system numbers them.
enum class DriveKind : std::uint32_t {
  Unknown = 0,
  NoRootDir = 1,
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  CdRom = 5,
  RamDisk = 6,
};

// One drive of the drive page. Sizes are 64-bit: drives of 2 GB and far more are
// common, and the byte counts must not wrap.
struct DriveFacts {
  std::string root;  // "C:\"
  DriveKind kind = DriveKind::Unknown;
  std::string label;  // volume label; empty when none or not ready
  // Cluster layout; all zero when the drive is not ready.
  std::uint32_t sectorsPerCluster = 0;
  std::uint32_t bytesPerSector = 0;
  std::uint64_t freeClusters = 0;
  std::uint64_t totalClusters = 0;
  // Exact byte counts when the system reported them; otherwise they are worked
  // out from the cluster layout.
  bool bytesKnown = false;
  std::uint64_t totalBytes = 0;
  std::uint64_t freeBytes = 0;
};

struct DriveBytes {
  std::uint64_t total = 0;
  std::uint64_t used = 0;
  std::uint64_t free = 0;
};

// The labels, with the blanks that line them up in the page's font.
inline constexpr const char* kLabelOperatingSystem = "  Operating System        ";
inline constexpr const char* kLabelWindowsVersion = "  Windows Version     ";
inline constexpr const char* kLabelCpuType = "  CPU Type        ";
inline constexpr const char* kLabelTotalMemory = "  Total Physical Memory";
inline constexpr const char* kLabelLogicalDrives = "  Available Logical Drives";
inline constexpr const char* kLabelWindowsDirectory = "  Windows Directory   ";
inline constexpr const char* kLabelTempDirectory = "  Temp Directory      ";
inline constexpr const char* kLabelTotalSize = "  Total Size          ";
inline constexpr const char* kLabelUsedSpace = "  Used Space       ";
inline constexpr const char* kLabelFreeSpace = "  Free Space       ";
inline constexpr const char* kLabelSectors = "  No. of Sectors   ";
inline constexpr const char* kLabelBytesPerSector = "  Bytes per Sector ";
inline constexpr const char* kLabelClusters = "  No. of Clusters  ";
inline constexpr const char* kLabelFreeClusters = "  Free Clusters    ";
inline constexpr const char* kReportSeparator = ":  ";

inline constexpr const char* kVersionErrorText = "Error Getting Version Information";

// "Windows NT " etc., by the platform identifier; empty when unknown.
std::string OperatingSystemName(std::uint32_t platformId);
// "Intel Pentium" etc., by the processor type; "(Unknown)" when not in the table.
std::string CpuTypeName(std::uint32_t processorType);

// "###,###,###": thousands separators, no decimals.
std::string FormatThousands(std::uint64_t value);
// Bytes as millions of bytes in the "##0.#0" pattern, rounded half up: 1234.57.
std::string FormatMegabytes(std::uint64_t bytes);

// "A:  C:  D:  " from the system's drive strings.
std::string LogicalDrivesText(std::string_view driveStrings);
// A folder buffer as the page shows it: NULs as blanks, trimmed, upper case.
std::string FolderText(std::string_view buffer);

// Empty when the version is not known. A blank line is an empty string.
std::vector<std::string> SystemReportLines(const SystemFacts& facts);

DriveBytes DriveBytesOf(const DriveFacts& drive);
std::vector<std::string> DriveReportLines(const DriveFacts& drive);

// The drive list entry: "C:  Local Disk (SYSTEM)".
std::string DriveKindName(DriveKind kind);
std::string DriveListCaption(const DriveFacts& drive);
// The entry to choose first: the drive of the current folder, else the first
// fixed drive, else the first drive. 0 for an empty list.
std::size_t DefaultDriveIndex(const std::vector<DriveFacts>& drives, std::string_view currentFolder);

// "Version 2.5", or "Version 2.5 Revision 03" when the revision is not 0.
std::string VersionText(int major, int minor, int revision);

}  // namespace velmora
