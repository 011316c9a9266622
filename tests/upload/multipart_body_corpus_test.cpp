// The multipart body builder's fuzz corpus, replayed through the fuzz
// target's own checks: the file intact before the closing line, every
// variable's name and value as given.
#include "../../fuzz/multipart_body_fuzzer.cpp"
#include "support/fuzz_corpus.h"

namespace pagewell {
namespace {

TEST(MultipartBodyFuzzCorpus, EveryInputBuildsAWellFormedBody) {
  EXPECT_GT(testing::ReplayFuzzCorpus("multipart_body"), 3);
}

}  // namespace
}  // namespace pagewell
