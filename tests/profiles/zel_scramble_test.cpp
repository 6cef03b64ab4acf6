#include "profiles/zel_crypt_wrapper.h"
#include "profiles/zel_scramble.h"
#include "tests/profiles/profile_test_env.h"
#include "tests/support/shared_files.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <set>

namespace {

unsigned char DecodeByte(unsigned char byte)
{
    const unsigned char plain = byte ^ 0xA7;
    return static_cast<unsigned char>((plain << 2) | (plain >> 6));
}

ByteBuffer Bytes(const std::string& text)
{
    return ByteBuffer(text.begin(), text.end());
}

ByteBuffer EncodedWithoutPrefix(const std::string& text)
{
    ByteBuffer bytes;
    for (unsigned char c : text)
        bytes.push_back(ScrambledByte(c));
    return bytes;
}

std::string Descrambled(const ByteBuffer& in)
{
    ByteBuffer out;
    EXPECT_TRUE(ZelCryptWrapper().descramble(in, out));
    return std::string(out.begin(), out.end());
}

} // namespace

TEST(ZelScramble, OutputIsAPrintablePrefixThenTheMarkerThenTheData)
{
    const std::string data = "data";
    std::set<std::string> prefixes;
    std::size_t lower = 0, upper = 0, digits = 0;
    for (int run = 0; run < 300; ++run) {
        ByteBuffer out;
        ASSERT_TRUE(ZelCryptWrapper().scramble(Bytes(data), out));
        ASSERT_TRUE(out.size() == data.size() + 15 || out.size() == data.size() + 16);
        std::string decoded;
        for (unsigned char b : out)
            decoded += static_cast<char>(DecodeByte(b));
        const std::size_t length = out.size() - data.size() - 1;
        const std::string prefix = decoded.substr(0, length);
        ASSERT_EQ('z', decoded[length]) << decoded;
        ASSERT_EQ(data, decoded.substr(length + 1));
        for (char c : prefix) {
            lower += c >= 'a' && c <= 'y';
            upper += c >= 'A' && c <= 'Z';
            digits += c >= '0' && c <= '9';
            ASSERT_EQ(1, (c >= 'a' && c <= 'y') + (c >= 'A' && c <= 'Z') + (c >= '0' && c <= '9'))
                << "not a prefix character: " << c;
        }
        prefixes.insert(prefix);
    }
    const double total = 300 * 14.0;
    // Three tenths of the draws pick lower case, three upper case, four digits.
    EXPECT_NEAR(0.3, lower / total, 0.04);
    EXPECT_NEAR(0.3, upper / total, 0.04);
    EXPECT_NEAR(0.4, digits / total, 0.04);
    EXPECT_GT(prefixes.size(), 295u) << "prefixes repeat";
}

TEST(ZelScramble, RoundTripsAnyBytesAndEmptyInput)
{
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    for (const std::string& data :
         {std::string(), std::string("z"), std::string("\0zz\0", 4), all}) {
        ByteBuffer scrambled;
        ASSERT_TRUE(ZelCryptWrapper().scramble(Bytes(data), scrambled));
        EXPECT_GE(scrambled.size(), data.size() + 15);
        EXPECT_LE(scrambled.size(), data.size() + 16);
        EXPECT_EQ(data, Descrambled(scrambled));
    }
}

TEST(ZelScramble, DescrambleStartsAfterTheFirstMarkerOrTakesEverything)
{
    EXPECT_EQ(std::string("no marker\0here", 14),
              Descrambled(EncodedWithoutPrefix(std::string("no marker\0here", 14))));
    EXPECT_EQ("defzgh", Descrambled(EncodedWithoutPrefix("abczdefzgh")));
    EXPECT_EQ("", Descrambled(EncodedWithoutPrefix("z")));

    ByteBuffer out = Bytes("untouched");
    EXPECT_FALSE(ZelCryptWrapper().descramble({}, out));
    EXPECT_EQ(Bytes("untouched"), out);
}

TEST(ZelScramble, CoreRoutinesRefuseBuffersTooSmall)
{
    unsigned char in[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    unsigned char out[24];
    EXPECT_EQ(-1, zel_enc_scramble(out, 7, 8, in));
    EXPECT_EQ(-1, zel_enc_scramble(out, 8, 8, in)); // no room for prefix and marker
    EXPECT_EQ(-1, zel_dec_scramble(in, 7, 8, out)); // no marker: all eight bytes are output
    const int length = zel_enc_scramble(out, 7 + 17, 7, in);
    EXPECT_TRUE(length == 7 + 15 || length == 7 + 16) << length;
}

TEST(ZelScramble, ReadsTheSharedVectorText)
{
    REQUIRE_SHARED("vectors");
    const std::string file = ReadFile(SharedVector("one-ftp-anonymous.dat"));
    EXPECT_EQ("LIST:[0]\n[DISP_NAME]Office\n[Destination]ftp://server/scans\n"
              "[Authentication]FALSE\n[ID]\n[Password]\n",
              Descrambled(Bytes(file)));
}
