// Tab reaches every control of a dialog that the mouse works, once, in the
// dialog's order from top left to bottom right.
#include "app/forms/alermform.h"
#include "app/forms/enterform.h"
#include "app/forms/kindform.h"
#include "app/forms/setupform.h"

#include <QApplication>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

namespace {

// The outermost widget at or above w that takes the focus or is a button (a
// set of radio buttons, one stop for Tab, is their parent; a page's tab
// widget is none).
QWidget* ControlOf(QWidget* w, const QWidget* dialog)
{
    QWidget* found = nullptr;
    for (; w && w != dialog; w = w->parentWidget())
        if (auto* radio = qobject_cast<QRadioButton*>(w); radio && radio->autoExclusive())
            found = w = w->parentWidget();
        else if (!qobject_cast<QTabWidget*>(w) &&
                 (w->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(w)))
            found = w;
    return found;
}

// a lies before b: above it in its column, left of it in its row, or both.
bool Before(QWidget* a, QWidget* b, const QWidget* dialog)
{
    const QRect ra(a->mapTo(dialog, QPoint()), a->size()),
        rb(b->mapTo(dialog, QPoint()), b->size());
    return (ra.bottom() < rb.top() && rb.right() >= ra.left()) ||
        (ra.right() < rb.left() && ra.bottom() >= rb.top() && ra.top() <= rb.bottom());
}

TEST(Keyboard, TabReachesEveryControlOnceInOrder)
{
    TEnterForm entry; // with every control shown
    for (const char* name : { "RepeatInput", "RepType2", "MonthOption2", "ExceptCheck" })
        entry.findChild<QAbstractButton*>(QLatin1String(name))->click();
    TSetupForm setup(nullptr);
    auto* pages = setup.findChild<QTabWidget*>();
    TAlermForm alarm(nullptr);
    alarm.show();
    alarm.findChild<QWidget*>(u"NoteBtn"_qs)->setEnabled(true); // as for an item with a memo
    TKindForm kinds;
    for (QWidget* dialog : std::initializer_list<QWidget*> { &entry, &setup, &alarm, &kinds }) {
        dialog->show();
        QApplication::setActiveWindow(dialog);
        qApp->removeEventFilter(dialog); // the alarm window's key guard has had its time
        for (int page = 0; page < (dialog == &setup ? pages->count() : 1); ++page) {
            if (pages->setCurrentIndex(page); !pages->isTabVisible(page))
                continue;
            SCOPED_TRACE(dialog->objectName().toStdString() + std::to_string(page));
            std::set<QWidget*> controls;
            for (QWidget* w : dialog->findChildren<QWidget*>())
                if (w->isVisible() && w->isEnabled() && ControlOf(w, dialog))
                    controls.insert(ControlOf(w, dialog));
            // From the top left control round to it again; the parts of a
            // date take a Tab each but count as one stop.
            std::vector<QWidget*> stops { *std::ranges::min_element(controls, {}, [&](QWidget* w) {
                return std::pair(w->mapTo(dialog, QPoint()).y(), w->mapTo(dialog, QPoint()).x());
            }) };
            stops[0]->setFocus(Qt::TabFocusReason);
            while (stops.size() < 100 && (stops.size() == 1 || stops.back() != stops[0])) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                if (QWidget* at = ControlOf(QApplication::focusWidget(), dialog);
                    at != stops.back())
                    stops.push_back(at);
            }
            stops.pop_back();
            ASSERT_EQ(std::count(stops.begin(), stops.end(), nullptr), 0) << "a stop is no control";
            for (std::size_t i = 0; i < stops.size(); ++i)
                for (std::size_t j = 0; j < i; ++j)
                    EXPECT_FALSE(Before(stops[i], stops[j], dialog)) << qPrintable(
                        stops[i]->objectName() + u" after "_qs + stops[j]->objectName());
            for (QWidget* control : controls)
                EXPECT_EQ(std::count(stops.begin(), stops.end(), control), 1)
                    << control->objectName().toStdString();
        }
        dialog->hide();
    }
}

} // namespace
