// A temporary folder for data-file tests, removed afterwards, with a fixed clock.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/Messages.h"
#include "foundation/TimeBase.h"

namespace kvqtest {

namespace fs = std::filesystem;

class TempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("kvq-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    kvq::SetClockSource([] { return kvq::EncodeTimeTag(2009, 3, 9, 12, 0, 0); });
  }
  void TearDown() override {
    kvq::SetClockSource(nullptr);
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Dir() const { return dir_.string(); }

  static std::vector<unsigned char> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), {});
  }
  static void WriteBytes(const std::string& path, const std::vector<unsigned char>& b) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
  static std::uint32_t Bits(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
  }

  kvq::TRecordingSink messages_;
  fs::path dir_;
};

inline kvq::TimeTag Tag(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return kvq::EncodeTimeTag(y, mo, d, h, mi, s);
}

}  // namespace kvqtest
