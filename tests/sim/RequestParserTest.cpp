// Cutting the PC's bytes into requests: resynchronisation on garbage, the silence rule, and
// that no input at all can crash or stall the parser.
#include <gtest/gtest.h>

#include <random>

#include "support/SimTestUtil.h"
#include "sim/RequestParser.h"

namespace {

class Parsing : public ::testing::Test {
protected:
    Parsing()
        : parser({[this](const Request& r) { requests.push_back(r); },
                  [this](const std::vector<std::uint8_t>&, const std::string& why) { skipped.push_back(why); }}) {}
    void feed(const std::vector<std::uint8_t>& bytes, double ms = 0) { parser.feed(bytes.data(), bytes.size(), ms); }
    RequestParser parser;
    std::vector<Request> requests;
    std::vector<std::string> skipped;
};

TEST_F(Parsing, knownRequestFromTheWire) {
    feed(Hex("02 03 06 D0 01 F4 D0"));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].address, 3);
    EXPECT_EQ(requests[0].code, 0xD0);
    EXPECT_EQ(requests[0].dataCount, 2);
    EXPECT_EQ(requests[0].data[1], 0xF4);
}

TEST_F(Parsing, strayBytesBeforeARequestAreSkippedInOnePiece) {
    feed(Hex("55 AA 06 02 05 04 10 1B"));
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_EQ(skipped, std::vector<std::string>{"stray bytes"});
}

TEST_F(Parsing, badChecksumIsSkippedAndARequestInsideItIsFound) {
    // The bad frame's bytes hold the start of a good request to station 5.
    auto bytes = Hex("02 07 06 02 05 04 10 1B");
    feed(bytes);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].address, 5);
    EXPECT_FALSE(skipped.empty());
}

TEST_F(Parsing, wrongLengthByteIsSkipped) {
    feed(Hex("02 05 0F 31 00"));
    feed(Hex("02 05 03"));
    feed(Frame(5, 0x31), 1);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(skipped.size(), 3u);  // two bad lengths, and the stray bytes after the first
}

TEST_F(Parsing, silenceInsideARequestDropsIt) {
    const auto f = Frame(5, 0x31);
    parser.feed(f[0], 0);
    parser.feed(f[1], 10);
    parser.feed(f[2], 31);  // 21 ms after the previous byte
    parser.feed(f[3], 31);
    parser.feed(f[4], 31);
    EXPECT_TRUE(requests.empty());
    feed(f, 200);
    EXPECT_EQ(requests.size(), 1u);
}

TEST_F(Parsing, requestWrittenOneByteAtATimeQuicklyIsWhole) {
    const auto f = Frame(5, 0xE0, {'b', 'a', 'r'});
    for (std::size_t i = 0; i < f.size(); ++i) parser.feed(f[i], 2.08 * i);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].dataCount, 3);
}

TEST_F(Parsing, anyBytesLeaveTheParserReadyForTheNextRequest) {
    std::mt19937 random(12345);
    std::vector<std::uint8_t> noise(20000);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random() % 4 == 0 ? STX : random());
    for (std::size_t i = 0; i < noise.size(); i += 7) parser.feed(noise.data() + i, std::min<std::size_t>(7, noise.size() - i), 0);
    requests.clear();
    feed(Frame(9, 0x30), 500);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].address, 9);
}

}  // namespace
