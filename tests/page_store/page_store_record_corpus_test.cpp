// The page store's record fuzz corpus, replayed through the fuzz target's
// own checks: a damaged record is Corrupt or decodes to exactly the page its
// checksum names, and decoded pixels code and decode back the same.
#include "../../fuzz/page_store_record_fuzzer.cpp"
#include "support/fuzz_corpus.h"

namespace pagewell {
namespace {

TEST(PageStoreRecordFuzzCorpus, EveryRecordDecodesExactlyOrIsCorrupt) {
  EXPECT_GT(testing::ReplayFuzzCorpus("page_store_record"), 10);
}

}  // namespace
}  // namespace pagewell
