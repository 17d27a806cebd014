#include "about/system_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

using namespace std::string_literals;

SystemFacts NtMachine() {
  SystemFacts f;
  f.versionKnown = true;
  f.platformId = 2;
  f.majorVersion = 4;
  f.minorVersion = 0;
  f.buildNumber = 1381;
  f.processorType = 586;
  f.totalPhysicalBytes = 16777216;
  f.logicalDrives = "a:\\\0c:\\\0d:\\\0\0"s;
  f.windowsDirectory = "C:\\WinNT\0\0\0"s;
  f.tempDirectory = "c:\\temp\\\0"s;
  return f;
}

TEST(SystemReport, PrintsEveryLineWithItsLabelSeparatorAndValue) {
  const std::vector<std::string> expected = {
      "  Operating System        :  Windows NT ",
      "  Windows Version     :  4.0 (Build 1381)",
      "",
      "  CPU Type        :  Intel Pentium",
      "",
      "  Total Physical Memory:  16,384 KB",
      "",
      "  Available Logical Drives:  A:  C:  D:  ",
      "",
      "  Windows Directory   :  C:\\WINNT",
      "  Temp Directory      :  C:\\TEMP\\",
  };
  EXPECT_EQ(SystemReportLines(NtMachine()), expected);
}

TEST(SystemReport, UnknownVersionPlatformAndProcessor) {
  SystemFacts f = NtMachine();
  f.platformId = 7;
  f.processorType = 2200;
  EXPECT_EQ(SystemReportLines(f)[0], "  Operating System        :  ");
  EXPECT_EQ(SystemReportLines(f)[3], "  CPU Type        :  (Unknown)");
  // x64 hardware is the common case today, not an unknown one.
  EXPECT_EQ(CpuTypeName(8664), "AMD64 (x64)");
  f.versionKnown = false;
  EXPECT_TRUE(SystemReportLines(f).empty());
}

TEST(SystemReport, LargeMemoryAndBuildNumbersPrintInFull) {
  SystemFacts f = NtMachine();
  f.majorVersion = 10;
  f.buildNumber = 19045;
  f.totalPhysicalBytes = 64ull << 30;  // 64 GB: beyond any 32-bit count
  const auto lines = SystemReportLines(f);
  EXPECT_EQ(lines[1], "  Windows Version     :  10.0 (Build 19045)");
  EXPECT_EQ(lines[5], "  Total Physical Memory:  67,108,864 KB");
  f.totalPhysicalBytes = 1023;  // less than one KB
  EXPECT_EQ(SystemReportLines(f)[5], "  Total Physical Memory:  0 KB");
}

TEST(SystemReport, ThousandsSeparators) {
  EXPECT_EQ(FormatThousands(999), "999");
  EXPECT_EQ(FormatThousands(1000), "1,000");
  EXPECT_EQ(FormatThousands(123456789), "123,456,789");
  EXPECT_EQ(FormatThousands(18446744073709551615ull), "18,446,744,073,709,551,615");
}

TEST(SystemReport, MegabytesWithTwoDecimals) {
  EXPECT_EQ(FormatMegabytes(0), "0.00");
  EXPECT_EQ(FormatMegabytes(4999), "0.00");
  EXPECT_EQ(FormatMegabytes(5000), "0.01");  // half rounds up
  EXPECT_EQ(FormatMegabytes(1000000), "1.00");
  EXPECT_EQ(FormatMegabytes(1234567890), "1234.57");
  EXPECT_EQ(FormatMegabytes(999995000), "1000.00");  // the carry reaches the whole part
  EXPECT_EQ(FormatMegabytes(18446744073709551615ull), "18446744073709.55");
}

TEST(SystemReport, DriveAndFolderTexts) {
  EXPECT_EQ(LogicalDrivesText("C:\\\0"s), "C:  ");
  EXPECT_EQ(LogicalDrivesText(""), "");
  EXPECT_EQ(LogicalDrivesText("\0\0\0"s), "");
  // Whatever follows the list's end is not part of it.
  EXPECT_EQ(LogicalDrivesText("c:\\\0\0z:\\\0"s), "C:  ");
  // Twenty-six drives: more than the 64 characters an old-style buffer held.
  std::string all;
  std::string shown;
  for (char d = 'a'; d <= 'z'; ++d) {
    all += std::string(1, d) + ":\\" + '\0';
    shown += std::string(1, static_cast<char>(d - 'a' + 'A')) + ":  ";
  }
  EXPECT_EQ(LogicalDrivesText(all + '\0'), shown);

  EXPECT_EQ(FolderText("  c:\\windows\0\0\0"s), "C:\\WINDOWS");
  EXPECT_EQ(FolderText(std::string(260, '\0')), "");
  EXPECT_EQ(FolderText("c:\\Dokumente und Einstellungen\\j\xf6rg\\"), "C:\\DOKUMENTE UND EINSTELLUNGEN\\J\xd6RG\\");
}

DriveFacts Drive(const char* root, DriveKind kind, std::uint32_t spc, std::uint32_t bps,
                 std::uint64_t freeClusters, std::uint64_t totalClusters) {
  DriveFacts d;
  d.root = root;
  d.kind = kind;
  d.sectorsPerCluster = spc;
  d.bytesPerSector = bps;
  d.freeClusters = freeClusters;
  d.totalClusters = totalClusters;
  return d;
}

TEST(DriveReport, ThreeTerabyteDrivePrintsItsRealSize) {
  // 3 TB in 4 KB clusters: the cluster counts still fit 32 bits, the bytes do not.
  DriveFacts d = Drive("E:\\", DriveKind::Fixed, 8, 512, 244140625, 732421875);
  const std::vector<std::string> expected = {
      "  Total Size          :  3000000.00 MB",
      "  Used Space       :  2000000.00 MB",
      "  Free Space       :  1000000.00 MB",
      "",
      "  No. of Sectors   :  8",
      "  Bytes per Sector :  512",
      "  No. of Clusters  :  732421875",
      "  Free Clusters    :  244140625",
  };
  EXPECT_EQ(DriveReportLines(d), expected);

  // Exact byte counts from the system win over the cluster products.
  d.bytesKnown = true;
  d.totalBytes = 3000592982016ull;
  d.freeBytes = 1234567890123ull;
  const auto lines = DriveReportLines(d);
  EXPECT_EQ(lines[0], "  Total Size          :  3000592.98 MB");
  EXPECT_EQ(lines[1], "  Used Space       :  1766025.09 MB");
  EXPECT_EQ(lines[2], "  Free Space       :  1234567.89 MB");
  EXPECT_EQ(lines[6], "  No. of Clusters  :  732421875");
}

TEST(DriveReport, DrivesAroundTheTwoGigabyteMark) {
  // 1.5 GB, and just past 2^31 bytes, where 32-bit products would go negative.
  DriveFacts d = Drive("D:\\", DriveKind::Fixed, 64, 512, 0, 45776);
  EXPECT_EQ(DriveBytesOf(d).total, 1499987968u);
  EXPECT_EQ(DriveReportLines(d)[0], "  Total Size          :  1499.99 MB");
  EXPECT_EQ(DriveReportLines(d)[1], "  Used Space       :  1499.99 MB");
  EXPECT_EQ(DriveReportLines(d)[2], "  Free Space       :  0.00 MB");

  d = Drive("D:\\", DriveKind::Fixed, 64, 512, 65537, 65537);
  EXPECT_EQ(DriveReportLines(d)[0], "  Total Size          :  2147.52 MB");
  EXPECT_EQ(DriveReportLines(d)[1], "  Used Space       :  0.00 MB");
}

TEST(DriveReport, NotReadyOrMoreFreeThanTotalNeverPrintsNegativeUse) {
  DriveFacts d = Drive("A:\\", DriveKind::Removable, 0, 0, 0, 0);  // not ready
  EXPECT_EQ(DriveReportLines(d)[1], "  Used Space       :  0.00 MB");
  d.bytesKnown = true;
  d.totalBytes = 1000000;
  d.freeBytes = 3000000;
  const DriveBytes b = DriveBytesOf(d);
  EXPECT_EQ(b.used, 0u);
  EXPECT_EQ(b.free, 1000000u);
}

TEST(DriveList, CaptionsByTypeAndLabel) {
  DriveFacts d = Drive("c:\\", DriveKind::Fixed, 0, 0, 0, 0);
  d.label = "SYSTEM  ";
  EXPECT_EQ(DriveListCaption(d), "C:  Local Disk (SYSTEM)");
  d.label = "  ";
  EXPECT_EQ(DriveListCaption(d), "C:  Local Disk");
  // A kind the system added later still gets a caption.
  d.kind = static_cast<DriveKind>(42);
  EXPECT_EQ(DriveListCaption(d), "C:  Drive");
}

TEST(DriveList, DefaultDrive) {
  const std::vector<DriveFacts> drives = {
      Drive("A:\\", DriveKind::Removable, 0, 0, 0, 0),
      Drive("C:\\", DriveKind::Fixed, 0, 0, 0, 0),
      Drive("Z:\\", DriveKind::Remote, 0, 0, 0, 0),
  };
  EXPECT_EQ(DefaultDriveIndex(drives, "z:\\home"), 2u);
  EXPECT_EQ(DefaultDriveIndex(drives, "Q:\\missing"), 1u);  // current drive not listed
  EXPECT_EQ(DefaultDriveIndex(drives, "\\\\server\\share"), 1u);
  EXPECT_EQ(DefaultDriveIndex({drives[0], drives[2]}, ""), 0u);
  EXPECT_EQ(DefaultDriveIndex({}, "C:\\"), 0u);
}

TEST(AboutVersion, RevisionOnlyWhenNotZero) {
  EXPECT_EQ(VersionText(2, 5, 0), "Version 2.5");
  EXPECT_EQ(VersionText(2, 5, 3), "Version 2.5 Revision 03");
  EXPECT_EQ(VersionText(10, 12, 123), "Version 10.12 Revision 123");
}

}  // namespace
}  // namespace velmora
