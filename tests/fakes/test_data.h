#pragma once
// Files of tests/data: read whole, and golden files compared byte for byte.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace orv::test {

// A file of tests/data, whole; fails the test when it cannot be read.
inline std::string ReadTestData(const std::string& relativePath) {
  const std::string path = std::string(ORV_TEST_DATA) + "/" + relativePath;
  std::ifstream in(path, std::ios::binary);
  if (!in) ADD_FAILURE() << "cannot read " << path;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Compares `bytes` with the golden file tests/data/<relativePath>. With the environment variable
// `rewrite` set the file is written instead, to accept a deliberate change after reading its diff.
inline void ExpectGoldenFile(const std::string& relativePath, const std::string& bytes, const char* rewrite) {
  if (std::getenv(rewrite)) {
    std::ofstream(std::string(ORV_TEST_DATA) + "/" + relativePath, std::ios::binary) << bytes;
    return;
  }
  EXPECT_EQ(bytes, ReadTestData(relativePath)) << "golden file tests/data/" << relativePath;
}

}  // namespace orv::test
