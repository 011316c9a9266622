// The packed DIB conversion's fuzz corpus, replayed through the fuzz
// target's own checks: no read past the block, false with an empty image or
// true with an image that survives a BMP round trip.
#include "../../../fuzz/packed_dib_fuzzer.cpp"
#include "support/fuzz_corpus.h"

namespace pagewell {
namespace {

TEST(PackedDibFuzzCorpus, EveryBlockConvertsOrIsRefused) { EXPECT_GT(testing::ReplayFuzzCorpus("packed_dib"), 10); }

}  // namespace
}  // namespace pagewell
