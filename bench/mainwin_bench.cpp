// The main window at scale.
// - Start-up: from creating TSchedForm on a data folder with the shipped
//   holiday file to the first painted calendar in an offscreen image (goal
//   with 10,000 items: under 150 ms). With 1,000,000 items, start-up on a day
//   that holds 84,000 of them may take at most 1.5 times start-up with as
//   many items spread at most 100 to a day: what the start day holds must not
//   cost more than the data itself.
// - A date change onto and away from a day of 10,000 items (goal: under
//   50 ms each).

#include "app/forms/schedform.h"
#include "app/forms/variant.h"
#include "app/settings/initparam.h"
#include "core/files.h"
#include "core/schedlist.h"
#include "platform/hotkeys.h"
#include "tests/support/sample_schedule.h"
#include "view/wscheduler.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

namespace {

// Items around today (a tenth of them series), some with places and memos.
void WriteSchedule(const std::string& path, int count)
{
    TSchedList store;
    const days::Day today = days::Today();
    std::mt19937 rng(11);
    store.Loading = true;
    for (int i = 0; i < count; ++i) {
        TEventData item = benchdata::RandomItem(rng, today - 400, 800, 10, i);
        if (i % 25 == 0)
            item.Place = "Room " + std::to_string(i % 9);
        item.Memo = "memo line\r\nsecond line";
        store.AddEvent(item, false);
    }
    store.Loading = false;
    store.SaveToFile(path);
}

// Single items, 100 to a day from long before today to long after, besides
// onToday more on today, all shown by the default filter.
void WriteSpreadSchedule(const std::string& path, int count, int onToday)
{
    TSchedList store;
    const days::Day today = days::Today();
    std::mt19937 rng(11);
    store.Loading = true;
    for (int i = 0; i < count; ++i) {
        TEventData item = benchdata::RandomItem(rng, today, 1, 0, i);
        item.Date = i < onToday ? today : today - count / 200 + i / 100;
        if (i < onToday)
            item.KindBits = 0;
        item.Memo = "memo line\r\nsecond line";
        store.AddEvent(item, false);
    }
    store.Loading = false;
    store.SaveToFile(path);
}

// The program variant on a data folder of its own, with fake hot keys.
class DataFolder
{
public:
    DataFolder()
        : dir_(QFile::encodeName(tmp_.path()).toStdString() + "/"), program_(dir_ + "Kalvero"),
          variant_(&program_)
    {
        benchdata::App();
        files::Copy(std::string(KALVERO_SOURCE_DIR) + "/data/Kalvero.hol", dir_ + "Kalvero.hol");
        previous_ = hotkeys::SetFactory(
            [](QObject* parent) { return std::make_unique<hotkeys::TFakeHotKeys>(parent); });
    }
    ~DataFolder()
    {
        hotkeys::SetFactory(std::move(previous_));
        InitParam.LoadFromFile("");
    }
    std::string Schedule() const { return dir_ + "Kalvero.sch"; }

private:
    QTemporaryDir tmp_;
    std::string dir_;
    TProgramVariant program_;
    TScopedBuildVariant variant_;
    hotkeys::Factory previous_;
};

void StartUp(benchmark::State& state, const std::function<void(const std::string&)>& write)
{
    DataFolder folder;
    write(folder.Schedule());
    QImage image(QSize(520, 420), QImage::Format_ARGB32_Premultiplied);
    int items = 0;
    int todayItems = 0;
    for (auto _ : state) {
        auto form = std::make_unique<TSchedForm>();
        form->show();
        form->Calendar->render(&image);
        state.PauseTiming();
        items = form->Calendar->Store().Count();
        todayItems = static_cast<int>(form->Calendar->Store().ItemsOn(days::Today()).size());
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["items"] = items;
    state.counters["todayItems"] = todayItems;
}

void BM_CreateToFirstPaintedCalendar(benchmark::State& state)
{
    StartUp(state, [](const std::string& path) { WriteSchedule(path, 10000); });
}
BENCHMARK(BM_CreateToFirstPaintedCalendar)->Unit(benchmark::kMillisecond);

// range(0): the items on today (the start day) besides the 100 of each day.
void BM_StartUpMillionItems(benchmark::State& state)
{
    const int onToday = static_cast<int>(state.range(0));
    StartUp(state,
            [onToday](const std::string& path) { WriteSpreadSchedule(path, 1000000, onToday); });
}
BENCHMARK(BM_StartUpMillionItems)
    ->ArgName("onToday")
    ->Arg(0)
    ->Arg(84000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The same number with a tenth of them series, as a user's schedule grows.
void BM_StartUpMillionItemsAroundToday(benchmark::State& state)
{
    StartUp(state, [](const std::string& path) { WriteSchedule(path, 1000000); });
}
BENCHMARK(BM_StartUpMillionItemsAroundToday)->Unit(benchmark::kMillisecond)->Iterations(3);

// range(0): 1 times the move onto the busy day, 0 the move away from it.
void BM_DateChangeOnDayOf10000Items(benchmark::State& state)
{
    DataFolder folder;
    auto form = std::make_unique<TSchedForm>();
    form->show();
    TSchedList& store = form->Calendar->Store();
    const days::Day busy = days::Today() + 3;
    std::mt19937 rng(17);
    store.Loading = true;
    for (int i = 0; i < 10000; ++i)
        store.AddEvent(benchdata::RandomItem(rng, busy, 1, 0, i), false);
    store.Loading = false;
    store.SortEvents();
    // Every kind shown, so that the day lists all of them.
    form->Calendar->SetKindMask(7);
    const bool onto = state.range(0) == 1;
    for (auto _ : state) {
        state.PauseTiming();
        form->Calendar->SetCurrentDate(onto ? busy + 1 : busy);
        state.ResumeTiming();
        form->Calendar->SetCurrentDate(onto ? busy : busy + 1);
    }
    state.counters["dayItems"] = static_cast<double>(store.ItemsOn(busy).size());
    form.reset();
}
BENCHMARK(BM_DateChangeOnDayOf10000Items)
    ->ArgName("onto")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);

} // namespace
