#include "about/system_report.h"

#include "model/text.h"

namespace velmora {

namespace {

std::string Line(const char* label, std::string_view value) {
  std::string line = label;
  line += kReportSeparator;
  line += value;
  return line;
}

}  // namespace

std::string OperatingSystemName(std::uint32_t platformId) {
  switch (platformId) {
    case 0: return "Windows 32s ";
    case 1: return "Windows 95 ";
    case 2: return "Windows NT ";
    default: return "";
  }
}

std::string CpuTypeName(std::uint32_t processorType) {
  switch (processorType) {
    case 386: return "Intel 386";
    case 486: return "Intel 486";
    case 586: return "Intel Pentium";
    case 4000: return "MIPS R4000";
    case 21064: return "DEC Alpha 21064";
    // A 64-bit build on x64 hardware is told 8664; saying "(Unknown)" for the
    // most common processor of all would be wrong.
    case 8664: return "AMD64 (x64)";
    default: return "(Unknown)";
  }
}

std::string FormatThousands(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string out;
  out.reserve(digits.size() + digits.size() / 3);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string FormatMegabytes(std::uint64_t bytes) {
  // Whole hundredths of a million bytes, rounded half up, in integers so that
  // no size is too large to print exactly.
  const std::uint64_t hundredths = bytes / 10000 + (bytes % 10000 >= 5000 ? 1 : 0);
  std::string out = std::to_string(hundredths / 100);
  const unsigned cents = static_cast<unsigned>(hundredths % 100);
  out += '.';
  out += static_cast<char>('0' + cents / 10);
  out += static_cast<char>('0' + cents % 10);
  return out;
}

std::string LogicalDrivesText(std::string_view driveStrings) {
  // The list ends at the first empty string (two NULs in a row).
  std::string_view list = driveStrings;
  if (const auto end = list.find(std::string_view("\0\0", 2)); end != std::string_view::npos)
    list = list.substr(0, end + 1);
  std::string out;
  out.reserve(list.size());
  for (char c : list) out += (c == '\0' || c == '\\') ? ' ' : c;
  // Leading blanks go; each drive keeps the two blanks that follow it.
  const auto first = out.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return ToUpper(std::string_view(out).substr(first));
}

std::string FolderText(std::string_view buffer) {
  std::string out(buffer);
  for (char& c : out)
    if (c == '\0') c = ' ';
  return ToUpper(Trim(out));
}

std::vector<std::string> SystemReportLines(const SystemFacts& facts) {
  std::vector<std::string> lines;
  if (!facts.versionKnown) return lines;
  lines.push_back(Line(kLabelOperatingSystem, OperatingSystemName(facts.platformId)));
  lines.push_back(Line(kLabelWindowsVersion, std::to_string(facts.majorVersion) + "." +
                                                 std::to_string(facts.minorVersion) + " (Build " +
                                                 std::to_string(facts.buildNumber) + ")"));
  lines.emplace_back();
  lines.push_back(Line(kLabelCpuType, CpuTypeName(facts.processorType)));
  lines.emplace_back();
  lines.push_back(Line(kLabelTotalMemory, FormatThousands(facts.totalPhysicalBytes / 1024) + " KB"));
  lines.emplace_back();
  lines.push_back(Line(kLabelLogicalDrives, LogicalDrivesText(facts.logicalDrives)));
  lines.emplace_back();
  lines.push_back(Line(kLabelWindowsDirectory, FolderText(facts.windowsDirectory)));
  lines.push_back(Line(kLabelTempDirectory, FolderText(facts.tempDirectory)));
  return lines;
}

DriveBytes DriveBytesOf(const DriveFacts& drive) {
  DriveBytes bytes;
  if (drive.bytesKnown) {
    bytes.total = drive.totalBytes;
    bytes.free = drive.freeBytes;
  } else {
    const std::uint64_t cluster =
        static_cast<std::uint64_t>(drive.sectorsPerCluster) * drive.bytesPerSector;
    bytes.total = cluster * drive.totalClusters;
    bytes.free = cluster * drive.freeClusters;
  }
  // A quota or a drive changing under us can report more free than total.
  if (bytes.free > bytes.total) bytes.free = bytes.total;
  bytes.used = bytes.total - bytes.free;
  return bytes;
}

std::vector<std::string> DriveReportLines(const DriveFacts& drive) {
  const DriveBytes bytes = DriveBytesOf(drive);
  return {
      Line(kLabelTotalSize, FormatMegabytes(bytes.total) + " MB"),
      Line(kLabelUsedSpace, FormatMegabytes(bytes.used) + " MB"),
      Line(kLabelFreeSpace, FormatMegabytes(bytes.free) + " MB"),
      "",
      Line(kLabelSectors, std::to_string(drive.sectorsPerCluster)),
      Line(kLabelBytesPerSector, std::to_string(drive.bytesPerSector)),
      Line(kLabelClusters, std::to_string(drive.totalClusters)),
      Line(kLabelFreeClusters, std::to_string(drive.freeClusters)),
  };
}

std::string DriveKindName(DriveKind kind) {
  switch (kind) {
    case DriveKind::Removable: return "Removable Disk";
    case DriveKind::Fixed: return "Local Disk";
    case DriveKind::Remote: return "Network Drive";
    case DriveKind::CdRom: return "CD Drive";
    case DriveKind::RamDisk: return "RAM Disk";
    case DriveKind::Unknown:
    case DriveKind::NoRootDir: break;
  }
  return "Drive";
}

std::string DriveListCaption(const DriveFacts& drive) {
  std::string caption = ToUpper(drive.root.substr(0, 2));
  caption += "  ";
  caption += DriveKindName(drive.kind);
  const std::string label = Trim(drive.label);
  if (!label.empty()) caption += " (" + label + ")";
  return caption;
}

std::size_t DefaultDriveIndex(const std::vector<DriveFacts>& drives, std::string_view currentFolder) {
  if (currentFolder.size() >= 2 && currentFolder[1] == ':') {
    for (std::size_t i = 0; i < drives.size(); ++i)
      if (!drives[i].root.empty() && UpperChar(drives[i].root[0]) == UpperChar(currentFolder[0]))
        return i;
  }
  for (std::size_t i = 0; i < drives.size(); ++i)
    if (drives[i].kind == DriveKind::Fixed) return i;
  return 0;
}

std::string VersionText(int major, int minor, int revision) {
  std::string text = "Version " + std::to_string(major) + "." + std::to_string(minor);
  if (revision != 0) text += " Revision " + FormatMin2(revision);
  return text;
}

}  // namespace velmora
