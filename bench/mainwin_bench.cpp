// Start-up of the main window: from creating TSchedForm on a data folder
// with a 10,000-item schedule and the shipped holiday file to the first
// painted calendar in an offscreen image (goal: under 150 ms).

#include "app/forms/schedform.h"
#include "app/forms/variant.h"
#include "app/settings/initparam.h"
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

QApplication& App()
{
    static int argc = 1;
    static char name[] = "mainwin_bench";
    static char* argv[] = { name, nullptr };
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// 10,000 items around today: single items, weekly and monthly series, some
// with alarms, times, places and memos.
void WriteSchedule(const std::string& path)
{
    TSchedList store;
    const days::Day today = days::Today();
    for (int i = 0; i < 10000; ++i) {
        TEventData item;
        item.Date = today - 400 + (i * 7) % 800;
        item.Subject = "Item " + std::to_string(i);
        if (i % 3 == 0) {
            item.HasTime = true;
            item.StartTime = 8 * 60 + (i % 40) * 15;
            item.EndTime = item.StartTime + 60;
        }
        if (i % 10 == 0)
            item.Repeat = rp::WeekdayBit(days::DayOfWeek(item.Date) - 1);
        if (i % 25 == 0)
            item.Place = "Room " + std::to_string(i % 9);
        if (i % 7 == 0) {
            item.AlarmBefore = 10;
            item.AlarmUnit = 0;
        }
        item.KindBits = 2 * (i % 2);
        item.Memo = "memo line\r\nsecond line";
        store.AddEvent(item, false);
    }
    store.SaveToFile(path);
}

void BM_CreateToFirstPaintedCalendar(benchmark::State& state)
{
    App();
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
