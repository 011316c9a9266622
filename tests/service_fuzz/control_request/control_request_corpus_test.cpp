// The control requests' fuzz corpus, replayed through the fuzz target's own
// checks: a message is a well-formed request or a reason, and a request
// written back decodes to the same.
#include "../../../fuzz/service_control_request_fuzzer.cpp"
#include "support/fuzz_corpus.h"

namespace pagewell {
namespace {

TEST(ControlRequestFuzzCorpus, EveryMessageIsARequestOrAReason) {
  EXPECT_GT(testing::ReplayFuzzCorpus("service_control_request"), 10);
}

}  // namespace
}  // namespace pagewell
