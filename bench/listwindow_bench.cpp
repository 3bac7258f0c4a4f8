// The list window on a 10,000-item schedule: a search that lists every item,
// and the check of all those rows against the store after a change (it runs
// after every change and every date move, so it must stay cheap).

#include "app/forms/listwindow.h"
#include "app/forms/schedform.h"
#include "app/forms/variant.h"
#include "app/settings/initparam.h"
#include "platform/hotkeys.h"
#include "tests/support/sample_schedule.h"
#include "view/wscheduler.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class Window
{
public:
    Window()
        : program_(QFile::encodeName(tmp_.path()).toStdString() + "/Kalvero"), variant_(&program_)
    {
        benchdata::App();
        previous_ = hotkeys::SetFactory(
            [](QObject* parent) { return std::make_unique<hotkeys::TFakeHotKeys>(parent); });
        form = std::make_unique<TSchedForm>();
        TSchedList& store = form->Calendar->Store();
        std::mt19937 rng(13);
        store.Loading = true;
        for (int i = 0; i < 10000; ++i)
            store.AddEvent(benchdata::RandomItem(rng, days::Today() - 400, 800, 10, i), false);
        store.Loading = false;
        store.SortEvents();
        // Every filter open, so that the search lists every item.
        form->Calendar->SetKindMask(7);
    }
    ~Window()
    {
        form.reset();
        hotkeys::SetFactory(std::move(previous_));
        InitParam.LoadFromFile("");
    }
    std::unique_ptr<TSchedForm> form;

private:
    QTemporaryDir tmp_;
    TProgramVariant program_;
    TScopedBuildVariant variant_;
    hotkeys::Factory previous_;
};

void BM_SearchListingEveryItem(benchmark::State& state)
{
    Window w;
    TListWindow* lw = w.form->ListWindow;
    lw->OrString->setChecked(true);
    for (auto _ : state) {
        lw->FindString->setEditText(QStringLiteral("1,2,3,4,5,6,7,8,9,0"));
        lw->FindExecClick();
    }
    state.counters["rows"] = lw->FindList->topLevelItemCount();
}
BENCHMARK(BM_SearchListingEveryItem)->Unit(benchmark::kMillisecond);

void BM_StoreChangedWithEveryItemListed(benchmark::State& state)
{
    Window w;
    TListWindow* lw = w.form->ListWindow;
    lw->OrString->setChecked(true);
    lw->FindString->setEditText(QStringLiteral("1,2,3,4,5,6,7,8,9,0"));
    lw->FindExecClick();
    for (auto _ : state)
        lw->StoreChanged();
    state.counters["rows"] = lw->FindList->topLevelItemCount();
}
BENCHMARK(BM_StoreChangedWithEveryItemListed)->Unit(benchmark::kMillisecond);

} // namespace
