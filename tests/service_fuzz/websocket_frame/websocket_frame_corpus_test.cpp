// The WebSocket frame reader's fuzz corpus, replayed through the fuzz
// target's own checks: the same messages and failure whatever the chunking,
// whole messages within the cap, and the service's own frames read back as
// written.
#include "../../../fuzz/service_websocket_frame_fuzzer.cpp"
#include "support/fuzz_corpus.h"

namespace pagewell {
namespace {

TEST(WebSocketFrameFuzzCorpus, EveryStreamReadsTheSameInAnyChunks) {
  EXPECT_GT(testing::ReplayFuzzCorpus("service_websocket_frame"), 10);
}

}  // namespace
}  // namespace pagewell
