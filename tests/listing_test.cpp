// printNumbers called directly, with std::cout pointed at a recorder.

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

void printNumbers(int N); // main.cpp has no header to declare it

namespace {

// Keeps every byte written and, at each flush, what had arrived by then.
class RecordingBuffer : public std::streambuf {
public:
  std::string received;
  std::vector<std::string> receivedAtEachFlush;

protected:
  int_type overflow(int_type ch) override {
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      received += traits_type::to_char_type(ch);
    }
    return traits_type::not_eof(ch);
  }
  std::streamsize xsputn(const char *text, std::streamsize count) override {
    received.append(text, static_cast<std::size_t>(count));
    return count;
  }
  int sync() override {
    receivedAtEachFlush.push_back(received);
    return 0;
  }
};

class PrintNumbers : public ::testing::Test {
protected:
  void SetUp() override { savedBuffer = std::cout.rdbuf(&output); }
  void TearDown() override { std::cout.rdbuf(savedBuffer); }

  std::string listingFor(int bound) {
    output.received.clear();
    output.receivedAtEachFlush.clear();
    printNumbers(bound);
    return output.received;
  }

  RecordingBuffer output;
  std::streambuf *savedBuffer = nullptr;
};

std::vector<std::string> linesOf(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    lines.push_back(line);
  }
  return lines;
}

TEST_F(PrintNumbers, WritesExactListingForSmallAndNonPositiveBounds) {
  EXPECT_EQ(listingFor(3), "0 0\n0 1\n0 2\n1 1\n1 2\n2 2\n");
  EXPECT_EQ(listingFor(1), "0 0\n");
  for (int bound : {0, -1, INT_MIN}) {
    SCOPED_TRACE(bound);
    EXPECT_EQ(listingFor(bound), "");
    EXPECT_TRUE(output.receivedAtEachFlush.empty())
        << "flushed with nothing to say";
  }
}

TEST_F(PrintNumbers, FlushesRightAfterEachLineAndNowhereElse) {
  const std::string listing = listingFor(3);
  std::vector<std::string> expected;
  for (std::size_t end = listing.find('\n'); end != std::string::npos;
       end = listing.find('\n', end + 1)) {
    expected.push_back(listing.substr(0, end + 1));
  }
  ASSERT_EQ(expected.size(), 6u);
  EXPECT_EQ(output.receivedAtEachFlush, expected);
}

TEST_F(PrintNumbers, WritesNumbersUnpaddedInAscendingOrder) {
  const std::vector<std::string> lines = linesOf(listingFor(11));
  ASSERT_EQ(lines.size(), 66u);
  EXPECT_EQ(lines.front(), "0 0");
  EXPECT_EQ(lines[9], "0 9");
  EXPECT_EQ(lines[10], "0 10");
  EXPECT_EQ(lines[11], "1 1");
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{"9 9", "9 10", "10 10"}));
}

TEST_F(PrintNumbers, CallsInARowWriteTheirListingsBackToBack) {
  output.received.clear();
  printNumbers(2);
  printNumbers(1);
  EXPECT_EQ(output.received, "0 0\n0 1\n1 1\n0 0\n");
}

} // namespace
