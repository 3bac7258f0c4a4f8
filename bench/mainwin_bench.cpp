// Start-up of the main window: from creating TSchedForm on a data folder
// with a 10,000-item schedule and the shipped holiday file to the first
// painted calendar in an offscreen image (goal: under 150 ms).

#include "app/forms/schedform.h"
#include "app/forms/variant.h"
#include "app/settings/initparam.h"
#include "bench/sample_schedule.h"
#include "core/files.h"
#include "core/schedlist.h"
#include "core/view/wscheduler.h"
#include "platform/hotkeys.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// 10,000 items around today (a tenth of them series), some with places and
// memos.
void WriteSchedule(const std::string& path)
{
    TSchedList store;
    const days::Day today = days::Today();
    std::mt19937 rng(11);
    for (int i = 0; i < 10000; ++i) {
        TEventData item = benchdata::RandomItem(rng, today - 400, 800, 10, i);
        if (i % 25 == 0)
            item.Place = "Room " + std::to_string(i % 9);
        item.Memo = "memo line\r\nsecond line";
        store.AddEvent(item, false);
    }
    store.SaveToFile(path);
}

void BM_CreateToFirstPaintedCalendar(benchmark::State& state)
{
    benchdata::App();
    QTemporaryDir tmp;
    const std::string dir = QFile::encodeName(tmp.path()).toStdString() + "/";
    WriteSchedule(dir + "Kalvero.sch");
    files::Copy(std::string(KALVERO_SOURCE_DIR) + "/data/Kalvero.hol", dir + "Kalvero.hol");
    TProgramVariant program(dir + "Kalvero");
    TScopedBuildVariant variant(&program);
    auto previous = hotkeys::SetFactory(
        [](QObject* parent) { return std::make_unique<hotkeys::TFakeHotKeys>(parent); });
    QImage image(QSize(520, 420), QImage::Format_ARGB32_Premultiplied);
    int items = 0;
    for (auto _ : state) {
        auto form = std::make_unique<TSchedForm>();
        form->show();
        form->Calendar->render(&image);
        items = form->Calendar->Store().Count();
        state.PauseTiming();
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["items"] = items;
    hotkeys::SetFactory(std::move(previous));
    InitParam.LoadFromFile("");
}
BENCHMARK(BM_CreateToFirstPaintedCalendar)->Unit(benchmark::kMillisecond);

} // namespace
