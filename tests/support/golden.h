#pragma once
// Expected data kept under tests/data: raw files, texts and hex listings.
// A hex listing holds two-digit bytes separated by spaces; "hh*n" stands for
// n copies of hh and "#" starts a comment running to the end of the line.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace trx::test {

inline std::string ReadGoldenText(const std::string& name) {
  std::ifstream in(std::string(TRX770_TEST_DATA_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in.is_open()) << "no golden file " << name;
  return {std::istreambuf_iterator<char>(in), {}};
}

inline std::vector<uint8_t> ReadGoldenBytes(const std::string& name) {
  const std::string text = ReadGoldenText(name);
  return {text.begin(), text.end()};
}

// One entry per listing line that holds bytes (a frame, a record...).
inline std::vector<std::vector<uint8_t>> ReadGoldenHexLines(const std::string& name) {
  std::vector<std::vector<uint8_t>> out;
  std::istringstream lines(ReadGoldenText(name));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::vector<uint8_t> bytes;
    for (std::string w; words >> w;) {
      const size_t star = w.find('*');
      const size_t count = star == std::string::npos ? 1 : std::stoul(w.substr(star + 1));
      bytes.insert(bytes.end(), count, static_cast<uint8_t>(std::stoul(w.substr(0, star), nullptr, 16)));
    }
    if (!bytes.empty()) out.push_back(std::move(bytes));
  }
  return out;
}

inline std::vector<uint8_t> ReadGoldenHex(const std::string& name) {
  std::vector<uint8_t> out;
  for (const auto& line : ReadGoldenHexLines(name)) out.insert(out.end(), line.begin(), line.end());
  return out;
}

// The lines of a listing that hold anything, without comments and outer blanks (names may hold blanks).
inline std::vector<std::string> ReadGoldenNames(const std::string& name) {
  std::vector<std::string> out;
  std::istringstream lines(ReadGoldenText(name));
  for (std::string line; std::getline(lines, line);) {
    line = line.substr(0, line.find('#'));
    line.erase(line.find_last_not_of(" \t\r") + 1);  // npos + 1 == 0: a blank line empties
    if (!line.empty()) out.push_back(line.substr(line.find_first_not_of(" \t")));
  }
  EXPECT_FALSE(out.empty()) << name << " lists nothing";
  return out;
}

// Each listed line split into its blank-separated words.
inline std::vector<std::vector<std::string>> ReadGoldenRows(const std::string& name) {
  std::vector<std::vector<std::string>> out;
  for (const std::string& line : ReadGoldenNames(name)) {
    std::istringstream words(line);
    out.emplace_back(std::istream_iterator<std::string>(words), std::istream_iterator<std::string>());
  }
  return out;
}

}  // namespace trx::test
