// The JSON reader's fuzz corpus, replayed through the fuzz target's own
// checks: what parses writes back to an equal value, and the UTF-8 check
// agrees with RFC 3629's byte ranges.
#include "../../../fuzz/service_json_fuzzer.cpp"
#include "support/fuzz_corpus.h"

namespace pagewell {
namespace {

TEST(JsonFuzzCorpus, EveryValueWritesBackTheSame) {
  EXPECT_GT(testing::ReplayFuzzCorpus("service_json"), 10);
}

}  // namespace
}  // namespace pagewell
