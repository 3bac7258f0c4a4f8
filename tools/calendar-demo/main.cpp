// calendar-demo: the calendar control on fixture data (a fixed "today",
// a month of items of every look, the public holiday file).
//
//   calendar-demo [--week] [--real-clock] [--screenshot FILE.png]
//
// With --screenshot the window is shown, grabbed from the screen and saved,
// and the program ends.

#include "core/sjis.h"
#include "gui/qtext.h"
#include "view/wscheduler.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

namespace {

days::Day D(int y, int m, int d)
{
    return days::Encode(y, m, d);
}

TEventData Item(const char* subject, days::Day date, int start = -1, int end = -1)
{
    TEventData e;
    e.Subject = sjis::FromUtf8(subject);
    e.Date = date;
    e.StartTime = start;
    e.EndTime = end;
    e.HasTime = start >= 0 && start < end;
    return e;
}

void AddFixture(TWScheduler& cal)
{
    TEventData meeting = Item("定例会議", D(2026, 5, 13), 660, 720);
    meeting.AlarmBefore = 30;
    meeting.DataType = sjis::FromUtf8("仕事:800000:E0F0FF");
    cal.AddEvent(meeting);
    TEventData report = Item("月報提出", D(2026, 5, 13), 540, 600);
    report.Priority = 4;
    report.Done = true;
    cal.AddEvent(report);
    TEventData trip = Item("出張(中止)", D(2026, 5, 14));
    trip.Priority = 2;
    trip.Cancelled = true;
    cal.AddEvent(trip);
    TEventData gym = Item("ジム", D(2026, 5, 5), 1140, 1230);
    gym.Repeat = recur::Pack({ .pattern = recur::RepeatPattern::Weekly,
                               .weekdays = recur::Weekdays({ 3, 6 }),
                               .useWeekdays = true });
    cal.AddEvent(gym);
    TEventData deadline = Item("見積書締切", D(2026, 5, 22));
    deadline.Priority = 4;
    deadline.AlarmBefore = 1;
    deadline.AlarmUnit = 2;
    cal.AddEvent(deadline);
    TEventData urgent = Item("至急:サーバ更新", D(2026, 5, 18), 600, 630);
    urgent.Priority = 3;
    cal.AddEvent(urgent);
    TEventData lunch = Item("昼食会", D(2026, 5, 18), 720, 810);
    lunch.Priority = 1;
    lunch.DataType = sjis::FromUtf8("私用:008000");
    cal.AddEvent(lunch);
    TEventData rent = Item("家賃振込", D(2026, 1, 27));
    rent.Repeat = recur::Pack({ .pattern = recur::RepeatPattern::Monthly });
    cal.AddEvent(rent);
    cal.AddEvent(Item("歯医者", D(2026, 5, 26), 1020, 1050));
    cal.AddEvent(Item("連休明け準備", D(2026, 5, 7), 570));
    cal.AddEvent(Item("花見の写真整理", D(2026, 4, 28)));
    for (int i = 0; i < 6; ++i)
        cal.AddEvent(Item("面談", D(2026, 5, 20), 540 + i * 60, 570 + i * 60));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    bool week = false;
    bool realClock = false;
    QString shot;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == u"--week"_qs)
            week = true;
        else if (args[i] == u"--real-clock"_qs)
            realClock = true;
        else if (args[i] == u"--screenshot"_qs && i + 1 < args.size())
            shot = args[++i];
        else {
            std::fprintf(stderr,
                         "usage: calendar-demo [--week] [--real-clock] [--screenshot FILE.png]\n");
            return 2;
        }
    }
    if (!realClock)
        days::SetClock([] { return days::MomentOf(D(2026, 5, 13), 10 * 60 + 45); });

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* buttons = new QHBoxLayout;
    auto* prev = new QPushButton(u"◀ 前へ"_qs);
    auto* today = new QPushButton(u"今日"_qs);
    auto* next = new QPushButton(u"次へ ▶"_qs);
    auto* grid = new QPushButton(u"月/週"_qs);
    for (QPushButton* b : { prev, today, next, grid })
        buttons->addWidget(b);
    buttons->addStretch();
    layout->addLayout(buttons);

    auto* cal = new TWScheduler;
    layout->addWidget(cal, 1);
    QFont face(u"IPAPGothic"_qs);
    QFont eventFont = face;
    eventFont.setPointSize(9);
    QFont dateFont = face;
    dateFont.setPointSize(14);
    cal->SetEventFont(eventFont);
    cal->SetDateFont(dateFont);
    cal->SetTodayColor(0xE0FFFF);
    cal->SetAutoTitle(true);
    cal->SetDisplayTime(true);
    cal->SetDispRokuyo(true);
    cal->SetDispEvent3(true);
    cal->SetMakeHint(true);
    cal->SetKindMask(7);
    cal->LoadHolidays((app.applicationDirPath() + u"/Kalvero.hol"_qs).toStdString(), false);
    cal->SetCurrentDate(days::Today());
    AddFixture(*cal);
    if (week)
        cal->SetGridType(gtWeekly);

    auto title = [&window, cal](TWScheduler*) {
        window.setWindowTitle(u"Kalvero カレンダー %1年%2月"_qs.arg(cal->Year()).arg(cal->Month()));
    };
    cal->OnChange = title;
    title(cal);
    QObject::connect(prev, &QPushButton::clicked, [cal] { cal->MoveBy(0, -1); });
    QObject::connect(next, &QPushButton::clicked, [cal] { cal->MoveBy(0, 1); });
    QObject::connect(today, &QPushButton::clicked, [cal] { cal->SetCurrentDate(days::Today()); });
    QObject::connect(grid, &QPushButton::clicked, [cal] {
        cal->SetGridType(cal->GridType() == gtMonthly ? gtWeekly : gtMonthly);
    });

    window.resize(900, 700);
    window.show();
    cal->setFocus();
    if (!shot.isEmpty()) {
        QTimer::singleShot(500, [&] {
            const QPixmap pixmap = window.screen()->grabWindow(window.winId());
            const bool saved = pixmap.save(shot);
            if (!saved)
                std::fprintf(stderr, "calendar-demo: cannot write %s\n", qPrintable(shot));
            app.exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
