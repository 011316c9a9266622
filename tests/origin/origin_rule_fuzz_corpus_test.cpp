// The origin rule's fuzz corpus, replayed through the fuzz target's own
// checks: normalised text reads back the same, wildcards stay off public
// suffixes, matches stay inside their entries.
#include "../../fuzz/origin_rule_fuzzer.cpp"
#include "support/fuzz_corpus.h"

namespace pagewell {
namespace {

TEST(OriginRuleFuzzCorpus, EveryInputKeepsTheRuleConsistent) {
  EXPECT_GT(testing::ReplayFuzzCorpus("origin_rule"), 3);
}

}  // namespace
}  // namespace pagewell
