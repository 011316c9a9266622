// The BMP reader's fuzz corpus, replayed through the fuzz target's own
// checks: a picture that writes and reads back alike, or a clean error.
#include "../../../fuzz/bmp_reader_fuzzer.cpp"
#include "support/fuzz_corpus.h"

namespace pagewell {
namespace {

TEST(BmpReaderFuzzCorpus, EveryFileReadsOrFailsCleanly) { EXPECT_GT(testing::ReplayFuzzCorpus("bmp_reader"), 10); }

}  // namespace
}  // namespace pagewell
