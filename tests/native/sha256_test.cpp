#include "download/Sha256.h"

#include <string>

#include <gtest/gtest.h>

namespace {

struct Vector {
    const char* name;
    std::string message;
    const char* digest;
};

// The standard's examples: one block, the 448-bit message whose padding needs
// a second block, an empty message and a million bytes.
const Vector kVectors[] = {
    {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"448 bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {"896 bits",
     "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
     "mnopqrstnopqrstu",
     "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
    {"a million a", std::string(1000000, 'a'),
     "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
};

// A download arrives in pieces of any size: every way of cutting the message
// gives the same digest as the whole.
TEST(Sha256, StandardVectorsInPiecesOfEverySize) {
    const size_t pieceSizes[] = {1000000, 1, 3, 55, 56, 63, 64, 65, 127, 1000};
    for (const Vector& v : kVectors) {
        for (size_t piece : pieceSizes) {
            Sha256 hash;
            for (size_t at = 0; at < v.message.size(); at += piece) {
                hash.Update(v.message.data() + at, std::min(piece, v.message.size() - at));
            }
            EXPECT_EQ(v.digest, Sha256Hex(hash.Digest())) << v.name << " in pieces of " << piece;
        }
    }
}

// Asking for the digest part-way leaves the running hash as it was.
TEST(Sha256, DigestPartWayDoesNotDisturbTheRest) {
    Sha256 hash;
    hash.Update("ab", 2);
    EXPECT_EQ("fb8e20fc2e4c3f248c60c39bd652f3c1347298bb977b8b4d5903b85055620603",
              Sha256Hex(hash.Digest()));
    hash.Update("c", 1);
    EXPECT_EQ(kVectors[1].digest, Sha256Hex(hash.Digest()));
}

}  // namespace
