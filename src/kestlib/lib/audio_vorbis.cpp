// Ogg Vorbis through a byte source. libvorbisfile maps the file as it opens
// it: its chained links, where the audio of each one starts and ends, and
// their lengths to the sample, and it checks their headers. The pages are
// then read with libogg and the packets decoded by FFmpeg's Vorbis decoder,
// which takes about a third of libvorbis's time. The samples of each packet
// are placed by the granule positions of the pages, as libvorbis places
// them, so seeking and the length are exact to the sample, which gapless
// loops rely on.
#include <ogg/ogg.h>
#include <vorbis/codec.h>
#include <vorbis/vorbisfile.h>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/mem.h>
}
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "kestlib/lib/audio_source.h"

namespace kestlib {
namespace {

size_t ReadProc(void* buffer, size_t size, size_t count, void* data) {
  auto* source = static_cast<IByteSource*>(data);
  const size_t total = std::min<size_t>(size * count, 1 << 20);
  if (total == 0) return 0;
  return static_cast<size_t>(source->Read(buffer, static_cast<int32_t>(total))) / size;
}

int SeekProc(void* data, ogg_int64_t offset, int whence) {
  auto* source = static_cast<IByteSource*>(data);
  int64_t target = offset;
  if (whence == SEEK_CUR) target += source->Position();
  if (whence == SEEK_END) target += source->Size();
  return source->Seek(target) ? 0 : -1;
}

long TellProc(void* data) { return static_cast<long>(static_cast<IByteSource*>(data)->Position()); }

// Rounded to the nearest and clipped, as libvorbisfile turns its floats into
// 16 bits; what is not a number becomes the lowest sample.
int16_t ToSample(float value) {
  float scaled = value * 32768.0f;
  if (!(scaled > -32768.0f)) scaled = -32768.0f;
  if (scaled > 32767.0f) scaled = 32767.0f;
  return static_cast<int16_t>(std::lrintf(scaled));
}

#if defined(__SSE2__)
__m128i ToSamples4(const float* values) {
  const __m128 scaled = _mm_mul_ps(_mm_loadu_ps(values), _mm_set1_ps(32768.0f));
  return _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(scaled, _mm_set1_ps(-32768.0f)), _mm_set1_ps(32767.0f)));
}
#endif

// `count` frames of one or two planes of floats from `from` on, interleaved.
void ToSamples(const float* const* planes, int32_t channels, int32_t from, int32_t count, int16_t* out) {
  const float* left = planes[0] + from;
  const float* right = channels == 2 ? planes[1] + from : nullptr;
  int32_t i = 0;
#if defined(__SSE2__)
  for (; i + 8 <= count; i += 8) {
    const __m128i l = _mm_packs_epi32(ToSamples4(left + i), ToSamples4(left + i + 4));
    if (!right) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), l);
      continue;
    }
    const __m128i r = _mm_packs_epi32(ToSamples4(right + i), ToSamples4(right + i + 4));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), _mm_unpacklo_epi16(l, r));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i + 8), _mm_unpackhi_epi16(l, r));
  }
#endif
  for (; i < count; ++i) {
    if (!right) {
      out[i] = ToSample(left[i]);
      continue;
    }
    out[2 * i] = ToSample(left[i]);
    out[2 * i + 1] = ToSample(right[i]);
  }
}

constexpr int64_t kUnknown = INT64_MIN;
constexpr int32_t kReadChunk = 4096;
// A seek halves the link's bytes down to this span, then goes page by page.
constexpr int64_t kBisectSpan = 2 * kReadChunk;
// A seek looks for a page to start from this many times, each time before
// the last one when that gave its first sample after the target (its only
// packet began on the page before), then decodes the link from its start.
constexpr int kSeekTries = 4;
// The comment header with no vendor and no comment: FFmpeg's decoder reads
// none of it.
constexpr uint8_t kEmptyComment[] = {3, 'v', 'o', 'r', 'b', 'i', 's', 0, 0, 0, 0, 0, 0, 0, 0, 1};

struct TLink {
  int64_t offset;       // its first header page
  int64_t data_offset;  // its first audio page
  int64_t end;          // the next link's first page, or the file's end
  int32_t serial;
  int64_t begin;   // granule position of its first sample
  int64_t frames;  // its length
  int64_t first;   // its first frame in the whole sound
};

// One packet of the page being decoded, placed on its link's granule scale.
struct TPacket {
  ogg_packet packet{};     // points into the stream state until the next page
  int64_t end = kUnknown;  // granule position after its last sample
  int32_t frames = 0;      // the samples it completes
  bool hole = false;       // data was lost before it: the decoder starts over
  bool audio = true;
  bool skip = false;  // neither its samples nor the next packet's are wanted
};

class TVorbisDecoder : public IAudioDecoder {
 public:
  explicit TVorbisDecoder(std::unique_ptr<IByteSource> source) : FSource(std::move(source)) {
    ogg_sync_init(&FSync);
    ogg_stream_init(&FStream, 0);
    vorbis_info_init(&FInfo);
    vorbis_comment_init(&FComment);
  }

  ~TVorbisDecoder() override {
    avcodec_free_context(&FCodec);
    vorbis_comment_clear(&FComment);
    vorbis_info_clear(&FInfo);
    av_frame_free(&FAvFrame);
    av_packet_free(&FAvPacket);
    ogg_stream_clear(&FStream);
    ogg_sync_clear(&FSync);
  }

  bool Open() {
    FAvFrame = av_frame_alloc();
    FAvPacket = av_packet_alloc();
    return FAvFrame && FAvPacket && MapLinks() && StartLink(0);
  }

  bool Seek(int64_t frame) override {
    frame = std::clamp<int64_t>(frame, 0, FFrames);
    FPendingAt = FPendingFrames = 0;
    FNext = frame;
    FEnded = true;
    if (frame == FFrames) return true;
    size_t index = 0;
    while (index + 1 < FLinks.size() && FLinks[index + 1].first <= frame) ++index;
    const TLink& link = FLinks[index];
    const int64_t target = link.begin + (frame - link.first);
    if (!StartLink(index)) return false;
    int64_t limit = target;
    for (int attempt = 0; attempt <= kSeekTries; ++attempt) {
      int64_t granule = 0;
      const int64_t start = attempt < kSeekTries ? FindPage(link, limit, granule) : link.data_offset;
      const bool linkStart = start == link.data_offset;
      // A try that ran out of the link has moved on to the next one.
      if ((FLink != index && !StartLink(index)) || !Restart(start, target, linkStart)) return false;
      while (FPendingFrames == 0 && DecodeNext()) {
      }
      if (linkStart) return FPendingFrames > 0;
      if (FPendingFrames > 0 && FPendingPos == target) return true;
      limit = granule - 1;
    }
    return true;
  }

  int32_t Read(int16_t* samples, int32_t frames) override {
    int32_t done = 0;
    while (done < frames && FNext < FFrames) {
      if (FPendingAt == FPendingFrames) {
        if (!DecodeNext()) break;
        continue;
      }
      const int32_t n =
          static_cast<int32_t>(std::min<int64_t>({frames - done, FPendingFrames - FPendingAt, FFrames - FNext}));
      std::memcpy(samples + static_cast<size_t>(done) * FChannels,
                  FPending.data() + static_cast<size_t>(FPendingAt) * FChannels, sizeof(int16_t) * n * FChannels);
      FPendingAt += n;
      done += n;
      FNext += n;
    }
    return done;
  }

 private:
  // The links as libvorbisfile finds them; its own decoder is not used.
  bool MapLinks() {
    OggVorbis_File file{};
    const ov_callbacks callbacks = {ReadProc, SeekProc, nullptr, TellProc};
    if (!FSource->Seek(0) || ov_open_callbacks(FSource.get(), &file, nullptr, 0, callbacks) != 0) return false;
    const bool mapped = ReadMap(file);
    ov_clear(&file);
    return mapped;
  }

  bool ReadMap(OggVorbis_File& file) {
    if (!ov_seekable(&file)) return false;
    const vorbis_info* first = ov_info(&file, 0);
    if (!first || first->channels < 1 || first->rate < kMinRate || first->rate > kMaxRate) return false;
    int64_t frame = 0;
    for (long i = 0; i < ov_streams(&file); ++i) {
      // Chained links must agree: one sound has one format.
      const vorbis_info* info = ov_info(&file, i);
      if (!info || info->channels != first->channels || info->rate != first->rate) return false;
      // The last link's pages go on to the end of the file.
      const TLink link{file.offsets[i],
                       file.dataoffsets[i],
                       i + 1 < ov_streams(&file) ? file.offsets[i + 1] : file.end,
                       static_cast<int32_t>(file.serialnos[i]),
                       file.pcmlengths[2 * i],
                       file.pcmlengths[2 * i + 1],
                       frame};
      if (link.data_offset < link.offset || link.end < link.data_offset || link.begin < 0 || link.frames < 0 ||
          link.frames > INT64_MAX - frame)
        return false;
      FLinks.push_back(link);
      frame += link.frames;
    }
    if (FLinks.empty()) return false;
    FSourceChannels = first->channels;
    FChannels = std::min(first->channels, 2);
    FRate = static_cast<int32_t>(first->rate);
    FFrames = frame;
    return true;
  }

  void CloseCodec() {
    avcodec_free_context(&FCodec);
    vorbis_comment_clear(&FComment);
    vorbis_info_clear(&FInfo);
    vorbis_info_init(&FInfo);
    vorbis_comment_init(&FComment);
  }

  // Reads the three headers of `link`: libvorbis learns the block size of
  // each mode from them, FFmpeg's decoder everything else.
  bool OpenCodec(const TLink& link) {
    CloseCodec();
    if (!GoTo(link.offset)) return false;
    ogg_stream_reset_serialno(&FStream, link.serial);
    std::vector<uint8_t> headers[3];
    int count = 0;
    ogg_page page;
    int64_t at = 0;
    while (count < 3 && ReadPage(page, link.data_offset, at)) {
      if (ogg_page_serialno(&page) != link.serial) continue;
      if (ogg_stream_pagein(&FStream, &page) != 0) return false;
      ogg_packet packet;
      for (int got = 0; count < 3 && (got = ogg_stream_packetout(&FStream, &packet)) != 0; ++count) {
        if (got < 0 || vorbis_synthesis_headerin(&FInfo, &FComment, &packet) != 0) return false;
        headers[count].assign(packet.packet, packet.packet + packet.bytes);
      }
    }
    if (count < 3 || FInfo.channels != FSourceChannels || FInfo.rate != FRate) return false;
    headers[1].assign(std::begin(kEmptyComment), std::end(kEmptyComment));
    // The headers laced as in Xiph's own containers.
    std::vector<uint8_t> extra{2};
    for (int i = 0; i < 2; ++i) {
      extra.insert(extra.end(), headers[i].size() / 255, 255);
      extra.push_back(static_cast<uint8_t>(headers[i].size() % 255));
    }
    for (const std::vector<uint8_t>& header : headers) extra.insert(extra.end(), header.begin(), header.end());
    if (extra.size() > INT_MAX - AV_INPUT_BUFFER_PADDING_SIZE) return false;

    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_VORBIS);
    if (!codec || !(FCodec = avcodec_alloc_context3(codec))) return false;
    FCodec->extradata = static_cast<uint8_t*>(av_mallocz(extra.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!FCodec->extradata) return false;
    std::memcpy(FCodec->extradata, extra.data(), extra.size());
    FCodec->extradata_size = static_cast<int>(extra.size());
    FCodec->thread_count = 1;
    return avcodec_open2(FCodec, codec, nullptr) == 0 && FCodec->ch_layout.nb_channels == FSourceChannels &&
           FCodec->sample_rate == FRate && FCodec->sample_fmt == AV_SAMPLE_FMT_FLTP;
  }

  // Makes link `index` the one decoded, from its first audio page.
  bool StartLink(size_t index) {
    if (index != FLink || !FCodec) {
      FLink = index;
      if (!OpenCodec(FLinks[index])) {
        CloseCodec();
        return false;
      }
    }
    return Restart(FLinks[index].data_offset, FLinks[index].begin, true);
  }

  // Decodes the link from the page at `offset`, handing out no sample
  // before granule position `skipTo`.
  bool Restart(int64_t offset, int64_t skipTo, bool linkStart) {
    FPackets.clear();
    FPacketAt = 0;
    FPendingAt = FPendingFrames = 0;
    FEnded = !GoTo(offset);
    if (FEnded) return false;
    ogg_stream_reset_serialno(&FStream, FLinks[FLink].serial);
    avcodec_flush_buffers(FCodec);
    FPrime = true;
    FPreviousBlock = -1;
    FNextPos = kUnknown;
    FLinkStart = linkStart;
    FSkipTo = std::max(skipTo, FLinks[FLink].begin);
    return true;
  }

  bool GoTo(int64_t offset) {
    if (!FSource->Seek(offset)) return false;
    ogg_sync_reset(&FSync);
    FOffset = offset;
    return true;
  }

  // The next page that starts before `limit`, and where it starts.
  bool ReadPage(ogg_page& page, int64_t limit, int64_t& at) {
    for (;;) {
      if (FOffset >= limit) return false;
      const long got = ogg_sync_pageseek(&FSync, &page);
      if (got < 0) {
        FOffset -= got;
      } else if (got > 0) {
        at = FOffset;
        FOffset += got;
        return true;
      } else {
        char* buffer = ogg_sync_buffer(&FSync, kReadChunk);
        const int32_t read = buffer ? FSource->Read(buffer, kReadChunk) : 0;
        if (read <= 0) return false;
        ogg_sync_wrote(&FSync, read);
      }
    }
  }

  // Where decoding starts to reach granule position `limit`: the last page
  // of the link that ends at or before it, else the link's first audio page.
  int64_t FindPage(const TLink& link, int64_t limit, int64_t& granule) {
    int64_t best = link.data_offset;
    int64_t low = link.data_offset;
    int64_t high = link.end;
    ogg_page page;
    int64_t at = 0;
    while (high - low > kBisectSpan) {
      const int64_t middle = low + (high - low) / 2;
      if (!GoTo(middle)) return best;
      int64_t found = -1;
      while (found == -1 && ReadPage(page, high, at))
        if (ogg_page_serialno(&page) == link.serial) found = ogg_page_granulepos(&page);
      if (found == -1 || found > limit) {
        high = middle;
      } else {
        best = at;
        granule = found;
        low = FOffset;
      }
    }
    if (!GoTo(low)) return best;
    while (ReadPage(page, link.end, at)) {
      const int64_t found = ogg_page_granulepos(&page);
      if (ogg_page_serialno(&page) != link.serial || found == -1) continue;
      if (found > limit) break;
      best = at;
      granule = found;
    }
    return best;
  }

  // Hands the next packet to the decoder, moving on to the next page or
  // link; false at the end of the sound.
  bool DecodeNext() {
    if (FEnded) return false;
    while (FPacketAt == FPackets.size()) {
      if (LoadPage()) continue;
      if (FLink + 1 >= FLinks.size() || !StartLink(FLink + 1)) {
        FEnded = true;
        return false;
      }
    }
    DecodePacket(FPackets[FPacketAt++]);
    return true;
  }

  // Reads the link's next page of ours and places its packets; false at the
  // end of the link.
  bool LoadPage() {
    const TLink& link = FLinks[FLink];
    ogg_page page;
    int64_t at = 0;
    do {
      if (!ReadPage(page, link.end, at)) return false;
    } while (ogg_page_serialno(&page) != link.serial);
    FPackets.clear();
    FPacketAt = 0;
    if (ogg_stream_pagein(&FStream, &page) != 0) return true;
    for (;;) {
      TPacket packet;
      const int got = ogg_stream_packetout(&FStream, &packet.packet);
      if (got == 0) break;
      packet.hole = got < 0;
      packet.audio = got > 0;
      FPackets.push_back(packet);
    }
    Place(ogg_page_granulepos(&page), ogg_page_eos(&page) != 0);
    return true;
  }

  // A packet completes the second half of the previous block and the first
  // of its own. Once a page's granule position is known the packets are
  // counted on from it; the first page with one places the packets before
  // it counting back. The last page's position is where the link is cut, not
  // where its last packet ends: when it is also the link's first page the
  // link starts at its beginning, and after a seek it places nothing.
  void Place(int64_t granule, bool eos) {
    int64_t pos = FNextPos;
    long previous = FPreviousBlock;
    size_t run = 0;  // the first packet after the last hole
    for (size_t i = 0; i < FPackets.size(); ++i) {
      TPacket& packet = FPackets[i];
      if (packet.hole) {
        previous = -1;
        pos = kUnknown;
        run = i + 1;
        continue;
      }
      const long block = vorbis_packet_blocksize(&FInfo, &packet.packet);
      if (block <= 0) {
        packet.audio = false;
        continue;
      }
      packet.frames = previous < 0 ? 0 : static_cast<int32_t>((previous + block) / 4);
      previous = block;
      if (pos != kUnknown) packet.end = pos += packet.frames;
    }
    FPreviousBlock = previous;
    const auto audio = [](const TPacket& packet) { return packet.audio; };
    if (pos == kUnknown && granule != -1 && (FLinkStart || !eos) &&
        std::any_of(FPackets.begin() + run, FPackets.end(), audio)) {
      if (FLinkStart && eos) {
        pos = FLinks[FLink].begin;
        for (size_t i = run; i < FPackets.size(); ++i)
          if (FPackets[i].audio) FPackets[i].end = pos += FPackets[i].frames;
      } else {
        pos = granule;
        for (size_t i = FPackets.size(); i-- > run;) {
          if (!FPackets[i].audio) continue;
          FPackets[i].end = pos;
          pos -= FPackets[i].frames;
        }
        pos = granule;
      }
      FLinkStart = false;
    }
    FNextPos = pos;
    // A packet's samples need only the packet before it: after a seek, of
    // the packets that end before the target only the last one is decoded.
    for (size_t i = 0, next = 0; i < FPackets.size(); i = next) {
      for (next = i + 1; next < FPackets.size() && !FPackets[next].audio && !FPackets[next].hole;) ++next;
      TPacket& packet = FPackets[i];
      packet.skip = packet.audio && next < FPackets.size() && FPackets[next].audio && packet.end != kUnknown &&
                    packet.end <= FSkipTo && FPackets[next].end != kUnknown && FPackets[next].end <= FSkipTo;
    }
  }

  // Decodes one packet into FPending: the samples it places inside the link
  // and not before FSkipTo. The first packet after a start only primes the
  // decoder.
  void DecodePacket(const TPacket& packet) {
    FPendingAt = FPendingFrames = 0;
    if (packet.hole) {
      avcodec_flush_buffers(FCodec);
      FPrime = true;
      return;
    }
    if (!packet.audio) return;
    if (packet.skip) {
      FPrime = true;
      return;
    }
    av_packet_unref(FAvPacket);
    int got = packet.packet.bytes < INT_MAX - AV_INPUT_BUFFER_PADDING_SIZE
                  ? av_new_packet(FAvPacket, static_cast<int>(packet.packet.bytes))
                  : AVERROR(ENOMEM);
    if (got == 0) std::memcpy(FAvPacket->data, packet.packet.packet, packet.packet.bytes);
    const bool prime = FPrime;
    FPrime = false;
    if (got == 0) got = avcodec_send_packet(FCodec, FAvPacket);
    int64_t start = packet.end == kUnknown ? kUnknown : packet.end - packet.frames;
    int32_t left = packet.frames;
    while (got >= 0 && (got = avcodec_receive_frame(FCodec, FAvFrame)) == 0) {
      const int32_t n = std::min(FAvFrame->nb_samples, left);
      if (!prime && start != kUnknown && n > 0 && FAvFrame->format == AV_SAMPLE_FMT_FLTP &&
          FAvFrame->ch_layout.nb_channels >= FChannels)
        Keep(reinterpret_cast<const float* const*>(FAvFrame->extended_data), start, n);
      if (start != kUnknown) start += n;
      left -= n;
      av_frame_unref(FAvFrame);
    }
    if (got != AVERROR(EAGAIN)) {
      avcodec_flush_buffers(FCodec);
      FPrime = true;
    }
  }

  void Keep(const float* const* planes, int64_t start, int32_t count) {
    const TLink& link = FLinks[FLink];
    const int64_t from = std::max(start, FSkipTo);
    const int64_t to = std::min(start + count, link.begin + link.frames);
    if (to <= from) return;
    const int32_t n = static_cast<int32_t>(to - from);
    if (FPendingFrames == 0) FPendingPos = from;
    FPending.resize(std::max(FPending.size(), static_cast<size_t>(FPendingFrames + n) * FChannels));
    ToSamples(planes, FChannels, static_cast<int32_t>(from - start), n,
              FPending.data() + static_cast<size_t>(FPendingFrames) * FChannels);
    FPendingFrames += n;
  }

  std::unique_ptr<IByteSource> FSource;
  std::vector<TLink> FLinks;
  int32_t FSourceChannels = 0;
  ogg_sync_state FSync{};
  ogg_stream_state FStream{};
  vorbis_info FInfo{};
  vorbis_comment FComment{};
  AVCodecContext* FCodec = nullptr;
  AVFrame* FAvFrame = nullptr;
  AVPacket* FAvPacket = nullptr;

  size_t FLink = 0;
  int64_t FOffset = 0;  // the byte the page reader looks at next
  std::vector<TPacket> FPackets;
  size_t FPacketAt = 0;
  long FPreviousBlock = -1;     // the block size of the last packet placed
  int64_t FNextPos = kUnknown;  // granule position after the last packet placed
  bool FLinkStart = true;       // no page of the link has placed packets yet
  bool FPrime = true;
  int64_t FSkipTo = 0;
  bool FEnded = false;

  std::vector<int16_t> FPending;  // samples decoded and not yet read
  int32_t FPendingFrames = 0;
  int32_t FPendingAt = 0;
  int64_t FPendingPos = 0;  // granule position of the first one
  int64_t FNext = 0;        // the frame Read hands out next
};

}  // namespace

std::unique_ptr<IAudioDecoder> OpenVorbis(std::unique_ptr<IByteSource> source) {
  if (!source) return nullptr;
  av_log_set_level(AV_LOG_QUIET);
  auto decoder = std::make_unique<TVorbisDecoder>(std::move(source));
  if (!decoder->Open()) return nullptr;
  return decoder;
}

}  // namespace kestlib
