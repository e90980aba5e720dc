// printNumbers called directly, with std::cout pointed at a recorder.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <iostream>
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
  const std::string listing = listingFor(11);
  ASSERT_EQ(std::count(listing.begin(), listing.end(), '\n'), 66);
  EXPECT_EQ(listing.rfind("0 0\n", 0), 0u);
  EXPECT_NE(listing.find("\n0 9\n0 10\n1 1\n"), std::string::npos);
  EXPECT_EQ(listing.substr(listing.size() - 16), "\n9 9\n9 10\n10 10\n");
}

TEST_F(PrintNumbers, CallsInARowWriteTheirListingsBackToBack) {
  printNumbers(2);
  printNumbers(1);
  EXPECT_EQ(output.received, "0 0\n0 1\n1 1\n0 0\n");
}

} // namespace
