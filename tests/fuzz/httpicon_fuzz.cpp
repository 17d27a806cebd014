// Fuzzes httpicon.ini, the user's choice of the icon for web addresses:
// whatever it holds, the start takes its first line when that is not blank
// (one line, never the whole file) and writes nothing, and the line written
// back by the page reads back as the same trimmed path.
#include <cstdint>
#include <string>

#include "../unit/fakes.h"
#include "core/app_state.h"
#include "fuzz_support.h"
#include "model/state_files.h"
#include "shell/startup.h"

namespace {

using namespace velmora;
using fuzz::Require;

const std::string kProgram = "C:\\P\\";

bool SingleLine(const std::string& s) { return s.find_first_of("\r\n") == std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(fuzz::AsText(data, size));
  const std::string ini = kProgram + kHttpIconIni;
  const std::string htm = kProgram + kHttpIconHtm;

  // The option on: the file names the icon.
  {
    test::FakeFileSystem fs;
    fs.AddFile(ini, bytes);
    AppState app;
    app.folders = ProgramFoldersOf(kProgram + "Velmora.exe");
    app.options.Set(kOptCustomWebIcon, true);
    app.HttpIconFile = "unset";
    ChooseHttpIconFile(fs, app);
    Require(fs.Changes().empty(), "reading the choice writes nothing");
    const std::string line = ReadFirstLine(fs, ini);
    Require(SingleLine(line) && line.size() <= bytes.size(), "the first line is one line");
    Require(bytes.compare(0, line.size(), line) == 0, "the first line starts the file");
    Require(app.HttpIconFile == (Trim(line).empty() ? "unset" : line),
            "a blank first line leaves the icon as it was");

    // The page writes a choice back; it reads back trimmed, NULs as blanks.
    std::string expected = line;
    for (char& c : expected)
      if (c == '\0') c = ' ';
    expected = Trim(expected);
    Require(WriteHttpIconIni(fs, kProgram, line), "the fake writes");
    Require(ReadFirstLine(fs, ini) == expected, "a choice written reads back");
    Require(*fs.Content(ini) == expected + "\r\n", "one line is written");
  }

  // The option off: the program's own empty page, created only when missing.
  for (const bool present : {false, true}) {
    test::FakeFileSystem fs;
    fs.AddFile(ini, bytes);
    if (present) fs.AddFile(htm, bytes);
    AppState app;
    app.folders = ProgramFoldersOf(kProgram + "Velmora.exe");
    ChooseHttpIconFile(fs, app);
    Require(app.HttpIconFile == htm, "the program's own page");
    Require(fs.Content(ini) == bytes, "the choice file is left alone");
    Require(fs.Content(htm) == (present ? bytes : std::string(kEmptyHtml)),
            "the page is created only when missing");
  }
  return 0;
}
