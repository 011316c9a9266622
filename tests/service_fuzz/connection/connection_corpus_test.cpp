// The connection's fuzz corpus, replayed through the fuzz target's own
// checks: Host before Origin, no question or session for a page that may not
// have one, requests only inside an open session, nothing written after the
// end.
#include "../../../fuzz/service_connection_fuzzer.cpp"
#include "support/fuzz_corpus.h"

namespace pagewell {
namespace {

TEST(ConnectionFuzzCorpus, NoSessionWithoutAdmissionNoBytesAfterTheEnd) {
  EXPECT_GT(testing::ReplayFuzzCorpus("service_connection"), 10);
}

}  // namespace
}  // namespace pagewell
