// The xqb program as users run it: its own process, arguments from the
// command line, results as bytes on standard output and the exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/test_books.h"

namespace {

namespace fs = std::filesystem;
using quill::testing::ChildRun;

// xqb lies beside this test program.
fs::path Program() {
#ifdef _WIN32
  return quill::testing::TestProgramFolder() / "xqb.exe";
#else
  return quill::testing::TestProgramFolder() / "xqb";
#endif
}

ChildRun RunProgram(const std::vector<std::string>& args) {
  return quill::testing::RunChild(Program(), args);
}

TEST(XqbProgram, BuildsLooksUpFindsAndDumps) {
  ASSERT_TRUE(fs::exists(Program())) << Program();
  const fs::path dir = quill::testing::ScratchDir();
  const std::string input = (dir / "program.tsv").string();
  std::ofstream(input, std::ios::binary) << "été\tsummer\\nline two\nabc\talpha\nzèbre\tstripes\n";
  const std::string book = (dir / "program.xqb").string();

  ChildRun r = RunProgram({"build", input, "-o", book, "--title", "Programme"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");

  // A non-ASCII word from the command line, UTF-8 out, LF line ends.
  r = RunProgram({"lookup", book, "été"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "found 2\nété\nsummer\nline two\n");

  r = RunProgram({"find", book, "E"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "1\tzèbre\n2\tété\n");
  r = RunProgram({"find", book, "nowhere"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");

  r = RunProgram({"dump", book});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "abc\talpha\nzèbre\tstripes\nété\tsummer\\nline two\n");

  const std::string missing = (dir / "missing.xqb").string();
  r = RunProgram({"info", missing});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, missing + ": cannot open the file (No such file or directory)\n");
}

}  // namespace
