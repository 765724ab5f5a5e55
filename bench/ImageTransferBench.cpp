// The per-packet and per-download parsing of an image transfer: a packet answer through
// the whole frame path, the metadata record of a download and a key/value text.

#include "image/MetadataKey.h"
#include "protocol/GetPacketsResponseBody.h"
#include "protocol/Message.h"
#include "protocol/StartDownloadResponseBody.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

using namespace kv;

namespace {

IOBufferPtr responseFrame(BodyType type, const std::string& body)
{
    auto frame = IOBuffer::newBuffer(10 + body.size());
    const uint32_t length = static_cast<uint32_t>(body.size());
    frame->data[0] = static_cast<char>(0xA5);
    frame->data[1] = static_cast<char>(type);
    frame->data[2] = 1;
    std::memcpy(frame->data + 6, &length, 4);
    std::memcpy(frame->data + 10, body.data(), body.size());
    return frame;
}

// One packet of 3200 pixels (6402 body bytes), parsed into a pre-typed response.
void BM_PacketResponseFrame(benchmark::State& state)
{
    const IOBufferPtr frame = responseFrame(PacketRequest, std::string(2 + 2 * 3200, '\x11'));
    V1ResponseMessage response(PacketRequest, V1None);
    for (auto _ : state) {
        response.setBuffer(frame);
        benchmark::DoNotOptimize(response.getTypedBody<V1::GetPacketsResponseBody>()->getData()->data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * frame->length));
}
BENCHMARK(BM_PacketResponseFrame);

// The body alone, as the receiver sees it after the frame is split.
void BM_PacketResponseBody(benchmark::State& state)
{
    const std::string bytes(2 + 2 * 3200, '\x11');
    const IOBufferPtr body = IOBuffer::newBuffer(bytes.data(), bytes.size());
    V1::GetPacketsResponseBody packet;
    packet.setMaxPacketLength(3200);
    for (auto _ : state) {
        packet.setBuffer(body);
        benchmark::DoNotOptimize(packet.getBufferLength());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * body->length));
}
BENCHMARK(BM_PacketResponseBody);

void BM_StartDownloadV2(benchmark::State& state)
{
    const IOBufferPtr payload = IOBuffer::newBuffer(2 + 36 * 2);
    payload->data[0] = 2;
    V1::StartDownloadResponseBody body;
    for (auto _ : state) {
        body.setBuffer(payload);
        benchmark::DoNotOptimize(body.getImageMetadata()->toDownloadMetadata());
    }
}
BENCHMARK(BM_StartDownloadV2);

// A text of 40 pairs, the size a camera's key/value metadata has.
void BM_MetadataKeys(benchmark::State& state)
{
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "Key" + std::to_string(i) + "\x01" "F" + std::to_string(i * 1.25) + "\x02";
    for (auto _ : state) {
        const MetadataKVMapPtr keys = MetadataKey::parseKeys(text);
        benchmark::DoNotOptimize(keys->begin()->second->asFloat());
    }
}
BENCHMARK(BM_MetadataKeys);

} // namespace
