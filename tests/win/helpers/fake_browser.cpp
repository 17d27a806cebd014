// A stand-in for a browser or any started program in the Windows tests: it
// appends its arguments and working folder to the file named by the
// environment variable VL_MARKER, one record per start, and ends.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  char marker[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("VL_MARKER", marker, MAX_PATH)) return 1;
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  std::string record = "cwd=" + std::string(folder) + "\n";
  for (int i = 1; i < argc; ++i) record += "arg=" + std::string(argv[i]) + "\n";
  record += "end\n";
  // Written whole under a temporary name, then moved in, so that a reader
  // polling for the marker never sees half a record.
  const std::string temp = std::string(marker) + ".tmp";
  std::string previous;
  if (FILE* in = std::fopen(marker, "rb")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) previous.append(buf, n);
    std::fclose(in);
  }
  FILE* out = std::fopen(temp.c_str(), "wb");
  if (!out) return 2;
  const std::string all = previous + record;
  std::fwrite(all.data(), 1, all.size(), out);
  std::fclose(out);
  // A test reading the marker at this moment holds it open, and a file that
  // is open cannot be replaced: try again for a while.
  for (int attempt = 0; attempt < 500; ++attempt) {
    if (MoveFileExA(temp.c_str(), marker, MOVEFILE_REPLACE_EXISTING)) return 0;
    Sleep(10);
  }
  return 3;
}
