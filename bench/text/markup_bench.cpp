// Parsing marked-up Japanese prose into glyphs, in MB/s of markup (goal: 50
// or more), beside a plain byte scan of the same text that counts the
// characters and tags (the floor any parser pays).
#include <benchmark/benchmark.h>

#include <string>

#include "common/sjis.h"
#include "text/tp_word.h"

namespace {

using namespace kest;

// About a megabyte of story text: sentences of kana and kanji with the tags
// a game's script uses (bold, colour, ruby, waits, links, breaks, variables).
const std::string& Prose() {
  static const std::string text = [] {
    const char* sentences[] = {
        "春の夜、窓の外では桜の花びらが静かに舞っていた。",
        "「<B>本当に</B>、これでよかったのかな……」と彼女はつぶやいた。",
        "<FONT COLOR=#FF8040 SIZE=24>遠くで鐘が鳴る。</FONT>",
        "<RUBY VALUE=\"きおく\">記憶</RUBY>の中の風景は、いつも少しだけ色あせている。",
        "<WAIT VALUE=120>……</WAIT>返事はなかった。<BR>",
        "表の通りを、ソフトな足音が通り過ぎていく。",
        "<A HREF=\"choice1\">駅へ向かう</A>　<A HREF=\"choice2\">家に帰る</A><BR>",
        "<VAR NAME=name>さん、おはようございます。今日もいい天気ですね。",
        "<FONT BORDER=2 BCOLOR=#000000>空はどこまでも高く、雲ひとつない。</FONT><BR CLEAR>",
    };
    std::string prose;
    for (size_t i = 0; prose.size() < (1u << 20); ++i) prose += Utf8ToCp932(sentences[i % std::size(sentences)]);
    return prose;
  }();
  return text;
}

void BM_SetMarkup(benchmark::State& state) {
  const std::string& text = Prose();
  TTpWord word;
  for (auto _ : state) {
    word.SetMarkup(text);
    benchmark::DoNotOptimize(word.Count());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
  state.counters["glyphs"] = word.Count();
}

void BM_ByteScan(benchmark::State& state) {
  const std::string& text = Prose();
  for (auto _ : state) {
    size_t chars = 0, tags = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const auto b = uint8_t(text[i]);
      tags += b == '<';
      if (IsLeadByte(b)) ++i;
      ++chars;
    }
    benchmark::DoNotOptimize(chars + tags);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

BENCHMARK(BM_SetMarkup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ByteScan)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
