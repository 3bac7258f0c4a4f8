// Painting the calendar: one full repaint of a month grid (the header and
// 42 day cells, each asking the holiday list, the almanac and the store
// afresh) into an offscreen image, with 10,000 items and the shipped holiday
// file.
//
// Goal: under 8 ms per full repaint (a frame at 60 Hz is 16 ms).

#include "tests/support/sample_schedule.h"
#include "view/wscheduler.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

using days::Day;

const days::Moment kNow = days::MomentOf(days::Encode(2026, 5, 13), 600);

// 10,000 items over ten years around the shown month; repeatingShare of
// them (in percent) repeat, by every pattern.
void Fill(TWScheduler& cal, int count, int repeatingShare)
{
    std::mt19937 rng(7);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    TSchedList& store = cal.Store();
    store.Loading = true;
    const Day base = days::Encode(2021, 5, 1);
    for (int i = 0; i < count; ++i) {
        TEventData e = benchdata::RandomItem(rng, base, 3650, repeatingShare, i);
        e.Done = e.Priority == 4 && pick(2);
        e.Cancelled = pick(20) == 0;
        store.AddEvent(e, false);
    }
    store.SortEvents();
    store.Loading = false;
}

struct Setup
{
    days::FixedClock clock { kNow };
    std::unique_ptr<TWScheduler> cal;
    QImage image { 980, 760, QImage::Format_RGB32 };

    Setup(int repeatingShare, bool autoTitle)
    {
        benchdata::App();
        cal = std::make_unique<TWScheduler>();
        cal->SetBorderStyle(bsNone);
        QFont face(u"IPAPGothic"_qs);
        face.setPointSize(9);
        cal->SetEventFont(face);
        face.setPointSize(14);
        cal->SetDateFont(face);
        cal->SetTodayColor(0xE0FFFF);
        cal->SetKindMask(7);
        cal->SetAutoTitle(autoTitle);
        cal->SetDisplayTime(true);
        cal->SetDispRokuyo(true);
        cal->LoadHolidays(KALVERO_SOURCE_DIR "/data/Kalvero.hol", false);
        Fill(*cal, 10000, repeatingShare);
        cal->SetCurrentDate(days::DayOf(kNow));
        cal->resize(image.size());
        cal->show();
        QApplication::processEvents();
    }

    void Paint() { cal->viewport()->render(&image); }
};

// args: share of repeating items (percent), item lines (1) or marks (0)
void BM_MonthRepaint(benchmark::State& state)
{
    Setup s(static_cast<int>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        s.Paint();
        benchmark::DoNotOptimize(s.image.constBits());
    }
}
BENCHMARK(BM_MonthRepaint)
    ->ArgNames({ "repeat%", "lines" })
    ->Args({ 10, 1 })
    ->Args({ 10, 0 })
    ->Args({ 50, 1 })
    ->Args({ 50, 0 })
    ->Unit(benchmark::kMillisecond);

// The week grid of the same data.
void BM_WeekRepaint(benchmark::State& state)
{
    Setup s(static_cast<int>(state.range(0)), true);
    s.cal->SetGridType(gtWeekly);
    for (auto _ : state) {
        s.Paint();
        benchmark::DoNotOptimize(s.image.constBits());
    }
}
BENCHMARK(BM_WeekRepaint)->ArgNames({ "repeat%" })->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);

} // namespace
