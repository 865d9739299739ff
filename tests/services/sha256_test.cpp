// SHA-256 and HMAC-SHA-256 against the published test vectors (FIPS 180-4 examples,
// RFC 4231), across block edges.
#include "services/sha256.h"

#include <gtest/gtest.h>

namespace ld {
namespace {

TEST(Sha256, PublishedVectors) {
    EXPECT_EQ(Hex(Sha256Of("")),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Hex(Sha256Of("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Hex(Sha256Of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    Sha256 million;  // fed in pieces that straddle the 64-byte blocks
    for (int i = 0; i < 10000; ++i) million.update(std::string(100, 'a'));
    EXPECT_EQ(Hex(million.finish()),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, HmacVectors) {
    EXPECT_EQ(Hex(HmacSha256(std::string(20, '\x0b'), "Hi There")),
              "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
    EXPECT_EQ(Hex(HmacSha256("Jefe", "what do ya want for nothing?")),
              "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    // A key longer than a block is hashed first (RFC 4231, case 6).
    EXPECT_EQ(Hex(HmacSha256(std::string(131, '\xaa'),
                             "Test Using Larger Than Block-Size Key - Hash Key First")),
              "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
}

}  // namespace
}  // namespace ld
