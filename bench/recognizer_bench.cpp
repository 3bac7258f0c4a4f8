// Speed of the date, time and place recognizer: a hostile 5 MB text full of
// "会場" that never lead to a place (goal: well under a second) and an
// ordinary mail body.

#include "app/recognizer.h"
#include "core/sjis.h"

#include <benchmark/benchmark.h>

namespace {

std::string HostileText()
{
    const std::string block = sjis::FromUtf8("会場は") + std::string(90, 'x');
    std::string text;
    while (text.size() < (5u << 20))
        text += block;
    return text + sjis::FromUtf8("会場：最後の部屋");
}

void BM_ManyFalseKeywords(benchmark::State& state)
{
    const std::string text = HostileText();
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseText(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ManyFalseKeywords)->Unit(benchmark::kMillisecond);

void BM_DigitsOnly(benchmark::State& state)
{
    const std::string text(5u << 20, '7');
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseText(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_DigitsOnly)->Unit(benchmark::kMillisecond);

void BM_MailBody(benchmark::State& state)
{
    const std::string text = sjis::FromUtf8(
        "定例会議のご案内\r\n\r\n各位\r\n\r\n下記のとおり定例会議を開催します。\r\n"
        "日時：2025年12月25日（木） 14時～15時30分\r\n場所：本社 3F 第一会議室\r\n"
        "議題：来期の予算について\r\n\r\nご出席のほどよろしくお願いいたします。\r\n");
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseText(text));
}
BENCHMARK(BM_MailBody);

} // namespace
