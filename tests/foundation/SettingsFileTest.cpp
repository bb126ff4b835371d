#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "foundation/SettingsFile.h"

using namespace kvq;
namespace fs = std::filesystem;

namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kvq-settings-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  static void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_;
};

TEST_F(SettingsFileTest, MissingFileReadsEmpty) {
  TSettingsFile f(Path("none.KFG"));
  EXPECT_TRUE(f.Sections().empty());
  EXPECT_EQ(f.ReadString("A", "B", "dflt"), "dflt");
  EXPECT_EQ(f.ReadInteger("A", "B", 7), 7);
}

TEST_F(SettingsFileTest, ReadsCaseInsensitivelyInFileOrder) {
  Write(Path("a.kfg"),
        "[Main]\r\nZeta=1\r\nalpha = two words \r\nRIVER1.STAGE,RIVER1.RAIN=3\r\n\r\n[Second]\nx=-12\nbool=5\n"
        "junk line\n[main]\nLate=9\n");
  TSettingsFile f(Path("a.kfg"));
  EXPECT_EQ(f.Sections(), (std::vector<std::string>{"Main", "Second"}));
  EXPECT_EQ(f.Keys("MAIN"), (std::vector<std::string>{"Zeta", "alpha", "RIVER1.STAGE,RIVER1.RAIN", "Late"}));
  EXPECT_EQ(f.ReadString("main", "ALPHA", ""), "two words");
  EXPECT_EQ(f.ReadString("Main", "river1.stage,river1.rain", ""), "3");
  EXPECT_EQ(f.ReadInteger("second", "X", 0), -12);
  EXPECT_TRUE(f.ReadBool("Second", "bool", false));
  EXPECT_EQ(f.ReadInteger("Main", "alpha", 4), 4);  // not a number
  EXPECT_FALSE(f.ReadBool("Main", "missing", false));
}

TEST_F(SettingsFileTest, WriteFlushReload) {
  TSettingsFile f(Path("sub/dir/b.kfg"));
  f.WriteString("S", "K", "v1");
  f.WriteInteger("S", "N", -5);
  f.WriteBool("T", "B", true);
  f.WriteBool("T", "C", false);
  f.WriteString("s", "k", "v2\r\nsecond line");
  std::string error;
  ASSERT_TRUE(f.Flush(&error)) << error;
  EXPECT_EQ(Read(Path("sub/dir/b.kfg")), "[S]\nK=v2  second line\nN=-5\n\n[T]\nB=1\nC=0\n");
  TSettingsFile g(Path("sub/dir/b.kfg"));
  EXPECT_EQ(g.ReadString("S", "K", ""), "v2  second line");
  EXPECT_EQ(g.ReadInteger("S", "N", 0), -5);
  EXPECT_TRUE(g.ReadBool("T", "B", false));
  EXPECT_FALSE(g.ReadBool("T", "C", true));
  // no temporary file is left beside it
  int files = 0;
  for (auto& e : fs::directory_iterator(dir_ / "sub/dir")) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST_F(SettingsFileTest, EraseSectionAndDeleteKey) {
  TSettingsFile f(Path("c.kfg"));
  f.WriteString("A", "1", "x");
  f.WriteString("A", "2", "y");
  f.WriteString("B", "1", "z");
  f.EraseSection("a");
  f.DeleteKey("b", "1");
  EXPECT_FALSE(f.SectionExists("A"));
  EXPECT_TRUE(f.SectionExists("B"));
  EXPECT_FALSE(f.ValueExists("B", "1"));
}

// A flush that cannot replace the file reports it and leaves no temporary file.
TEST_F(SettingsFileTest, FailedFlushLeavesEverythingAsItWas) {
  fs::create_directories(dir_ / "d.kfg");  // the name is taken by a folder
  Write(Path("d.kfg/inside"), "keep");
  TSettingsFile f(Path("d.kfg"));
  f.WriteString("New", "k", "v");
  std::string error;
  EXPECT_FALSE(f.Flush(&error));
  EXPECT_NE(error.find("d.kfg"), std::string::npos);
  EXPECT_EQ(Read(Path("d.kfg/inside")), "keep");
  int entries = 0;
  for (auto& e : fs::directory_iterator(dir_)) entries += e.exists();
  EXPECT_EQ(entries, 1);

  Write(Path("blocker"), "x");  // a file where a folder would have to be
  TSettingsFile g(Path("blocker/s.kfg"));
  g.WriteString("A", "b", "c");
  EXPECT_FALSE(g.Flush(&error));
}

TEST_F(SettingsFileTest, GarbageReadsAsWhatCanBeUnderstood) {
  std::string garbage = "\x01\x02[broken\n=novalue\n]]]\n[ok]\n=\nkey=val\n";
  garbage += std::string(1000, '\xff');
  Write(Path("e.kfg"), garbage);
  TSettingsFile f(Path("e.kfg"));
  EXPECT_EQ(f.ReadString("ok", "key", ""), "val");
}

}  // namespace
