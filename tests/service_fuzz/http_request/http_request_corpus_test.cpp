// The request head reader's fuzz corpus, replayed through the fuzz target's
// own checks: heads end at the first blank line, parsed requests keep to the
// grammar and limits and read back the same when written plainly, the Host
// check admits only the service's own names.
#include "../../../fuzz/service_http_request_fuzzer.cpp"
#include "support/fuzz_corpus.h"

namespace pagewell {
namespace {

TEST(HttpRequestFuzzCorpus, EveryHeadReadsConsistently) {
  EXPECT_GT(testing::ReplayFuzzCorpus("service_http_request"), 10);
}

}  // namespace
}  // namespace pagewell
