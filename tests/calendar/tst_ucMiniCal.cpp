#include "ui/Twips.h"
#include "calendar/ucMiniCal.h"
#include "support/QtTestMain.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

#include <chrono>
#include <memory>
#include <utility>

using namespace zento;
using namespace std::chrono;

namespace {

class FakeClock final : public Clock {
public:
    LocalTime now() const override { return m_now; }
    void setToday(const char* date) { m_now = AtTime(*ParseDate(date), hours{10}); }

private:
    LocalTime m_now{};
};

Date d(const char* text) {
    return *ParseDate(text);
}

} // namespace

class TestMiniCal : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void choixDateBeforeAndAfterChangeJour();
    void monthGridAsShown();
    void openingFallsBackToTheChosenDateThenToday();
    void unfoldedCalendarLiesOverTheControlsBelow();
    void steppingChoosesTheFirstOfTheMonth();
    void monthAndYearLists();
    void yearListSelectsTheNearestYear();
    void closingActionsAndChange();
    void neighbouringDaysCannotBePicked();
    void keyboardPicksADay();
    void keyboardStepsMonthsAndEscapes();
    void keyboardDrivesTheLists();

private:
    QLabel* cell(int i) const { return m_cal->findChild<QLabel*>(QStringLiteral("lblJour_%1").arg(i)); }
    template <class T>
    T* child(const char* name) const {
        return m_cal->findChild<T*>(QLatin1String(name));
    }
    QString text() const { return child<QLineEdit>("txtDate")->text(); }
    QString title() const { return child<QLabel>("lblMoisAnnee")->text(); }
    QColor background(int i) const { return cell(i)->palette().color(QPalette::Window); }
    void clickDropDown() { QTest::mouseClick(child<QToolButton>("cmdDate"), Qt::LeftButton); }
    void open() {
        if (!m_cal->isOpen())
            clickDropDown();
        QVERIFY(m_cal->isOpen());
    }
    /// A press on the title where no list covers it.
    void pressTitle(Qt::MouseButton b) {
        auto* t = child<QLabel>("lblMoisAnnee");
        QTest::mousePress(t, b, {}, QPoint(twips::px(1400 - 30), t->height() / 2));
    }
    void clickItem(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    /// A key typed where the keyboard focus is, as the user would.
    void key(Qt::Key k, Qt::KeyboardModifiers m = {}) {
        QVERIFY(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), k, m);
    }
    QWidget* focus() const { return QApplication::focusWidget(); }

    FakeClock m_clock;
    std::unique_ptr<QWidget> m_host;
    ucMiniCal* m_cal = nullptr;
    std::unique_ptr<QSignalSpy> m_change;
};

void TestMiniCal::init() {
    m_clock.setToday("15/03/2024");
    m_host = std::make_unique<QWidget>();
    m_host->resize(400, 300);
    m_cal = new ucMiniCal(m_clock, m_host.get());
    m_cal->move(10, 10);
    m_change = std::make_unique<QSignalSpy>(m_cal, &ucMiniCal::Change);
    m_host->show();
    QApplication::setActiveWindow(m_host.get());
    QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
}

void TestMiniCal::cleanup() {
    m_change.reset();
    m_host.reset();
}

void TestMiniCal::choixDateBeforeAndAfterChangeJour() {
    QCOMPARE(m_cal->ChoixDate(), kNoDate);
    QCOMPARE(text(), QString());
    QVERIFY(!m_cal->isOpen());
    QCOMPARE(m_cal->size(), QSize(twips::px(2910), twips::px(285)));

    m_cal->ChangeJour(d("20/05/2024"));
    QCOMPARE(m_cal->ChoixDate(), d("20/05/2024"));
    QCOMPARE(text(), QStringLiteral("20/05/2024"));
    QVERIFY(!m_cal->isOpen());

    // Dates the dd/MM/yyyy form cannot hold leave everything as it was.
    m_cal->ChangeJour(Date{year{2024}, February, day{30}});
    m_cal->ChangeJour(Date{year{12000}, January, day{1}});
    QCOMPARE(m_cal->ChoixDate(), d("20/05/2024"));
    QCOMPARE(m_change->count(), 0);
}

void TestMiniCal::monthGridAsShown() {
    struct Case {
        const char *chosen, *today, *firstCellDate;
        int firstInMonth, lastInMonth, chosenCell, todayCell; // todayCell 0: not shown
        const char* title;
    };
    const Case cases[] = {
        {"01/04/2024", "15/03/2024", "25/03/2024", 8, 37, 8, 0, "avril 2024"}, // begins on a Monday
        {"15/03/2024", "15/03/2024", "26/02/2024", 5, 35, 19, 19, "mars 2024"},
        {"10/02/2021", "15/03/2024", "25/01/2021", 8, 35, 17, 0, "février 2021"}, // still six rows
        {"15/03/2024", "02/04/2024", "26/02/2024", 5, 35, 19, 37, "mars 2024"},   // today greyed
    };
    const QPalette& own = m_cal->palette();
    const QColor navy(0x00, 0x00, 0x80);
    const QColor grey = own.color(QPalette::Disabled, QPalette::WindowText);
    for (const Case& c : cases) {
        m_clock.setToday(c.today);
        m_cal->ChangeJour(d(c.chosen));
        open();
        QCOMPARE(title(), QString::fromUtf8(c.title));
        const sys_days first{d(c.firstCellDate)};
        for (int i = 1; i <= MonthGrid::kCellCount; ++i) {
            QLabel* l = cell(i);
            const bool inMonth = i >= c.firstInMonth && i <= c.lastInMonth;
            const QByteArray where = QByteArray(c.chosen) + " cell " + QByteArray::number(i);
            QVERIFY2(l && l->isVisible(), where);
            QCOMPARE(l->text(), QString::number(static_cast<unsigned>(Date{first + days{i - 1}}.day())));
            QVERIFY2(l->isEnabled() == inMonth, where);
            QVERIFY2(l->alignment() & Qt::AlignRight, where);
            const QPalette::ColorGroup group = inMonth ? QPalette::Active : QPalette::Disabled;
            QVERIFY2(l->palette().color(group, QPalette::WindowText) == (inMonth ? navy : grey), where);
            QVERIFY2(background(i) == own.color(i == c.chosenCell ? QPalette::Dark : QPalette::Button),
                     where);
            // Today's border lies on the cell's own edges; other cells show their background there.
            const QImage drawn = l->grab().toImage();
            const QColor edge =
                i == c.todayCell ? l->palette().color(group, QPalette::WindowText) : background(i);
            for (const QPoint corner : {QPoint(0, 0), QPoint(drawn.width() - 1, drawn.height() - 1)})
                QVERIFY2(drawn.pixel(corner) == edge.rgb(), where);
        }
        m_cal->Ferme();
    }
}

void TestMiniCal::openingFallsBackToTheChosenDateThenToday() {
    open(); // nothing chosen yet: today
    QVERIFY(child<QFrame>("fraCal")->isVisible());
    QVERIFY(child<QPushButton>("cmdToday")->isVisible());
    QVERIFY(!child<QListWidget>("lstMois")->isVisible() && !child<QListWidget>("lstAnnee")->isVisible());
    QCOMPARE(m_cal->height(), twips::px(3045));
    QCOMPARE(m_cal->ChoixDate(), d("15/03/2024"));
    QCOMPARE(title(), QStringLiteral("mars 2024"));
    QCOMPARE(background(19), m_cal->palette().color(QPalette::Dark));

    m_cal->Ferme();
    m_cal->ChangeJour(d("20/05/2024"));
    open();
    QCOMPARE(title(), QStringLiteral("mai 2024"));
    QCOMPARE(background(22), m_cal->palette().color(QPalette::Dark));
    QCOMPARE(m_cal->ChoixDate(), d("20/05/2024"));
    QCOMPARE(m_change->count(), 0);
}

void TestMiniCal::unfoldedCalendarLiesOverTheControlsBelow() {
    // A control of the host lying partly under the picker's rectangle.
    auto* below = new QPushButton(QStringLiteral("dessous"), m_host.get());
    below->setGeometry(10, 10, 380, 250);
    below->lower();
    below->show();
    const QPoint rightOfButton = m_cal->mapTo(m_host.get(), twips::point(2500, 150));
    const QPoint inGrid = cell(20)->mapTo(m_host.get(), cell(20)->rect().center());

    // Closed, only the box and its button take clicks; the rest is the host's.
    QCOMPARE(m_host->childAt(rightOfButton), below);
    QCOMPARE(m_host->childAt(inGrid), below);

    m_cal->lower(); // opening brings the calendar over it again
    open();
    QVERIFY(m_cal->isAncestorOf(m_host->childAt(inGrid)));
    QCOMPARE(m_host->childAt(rightOfButton), below);
}

void TestMiniCal::steppingChoosesTheFirstOfTheMonth() {
    struct Case {
        const char *from, *arrow, *to, *title;
    };
    const Case cases[] = {
        {"10/12/2024", "lblNext", "01/01/2025", "janvier 2025"},
        {"31/01/2025", "lblPrevious", "01/12/2024", "décembre 2024"},
        {"20/05/2024", "lblNext", "01/06/2024", "juin 2024"},
    };
    for (const Case& c : cases) {
        m_cal->ChangeJour(d(c.from));
        open();
        QTest::mouseClick(child<QLabel>(c.arrow), Qt::LeftButton);
        QVERIFY(m_cal->isOpen());
        QCOMPARE(m_cal->ChoixDate(), d(c.to));
        QCOMPARE(text(), QString::fromUtf8(c.to));
        QCOMPARE(title(), QString::fromUtf8(c.title));
    }
    QCOMPARE(m_change->count(), 0);

    // Closing with the drop-down button keeps the 1st reached.
    clickDropDown();
    QVERIFY(!m_cal->isOpen());
    QCOMPARE(m_cal->height(), twips::px(285));
    QCOMPARE(m_cal->ChoixDate(), d("01/06/2024"));
    QCOMPARE(m_change->count(), 1);
}

void TestMiniCal::monthAndYearLists() {
    m_clock.setToday("10/06/2026");
    m_cal->ChangeJour(d("15/07/2025"));
    open();
    auto* months = child<QListWidget>("lstMois");
    auto* years = child<QListWidget>("lstAnnee");

    pressTitle(Qt::LeftButton);
    QVERIFY(months->isVisible() && !years->isVisible());
    QCOMPARE(months->count(), 12);
    QCOMPARE(months->item(0)->text(), QStringLiteral("janvier"));
    QCOMPARE(months->item(7)->text(), QStringLiteral("août"));
    QCOMPARE(months->item(11)->text(), QStringLiteral("décembre"));
    QCOMPARE(months->currentRow(), 6);
    QVERIFY(months->item(6)->isSelected());

    pressTitle(Qt::RightButton);
    QVERIFY(months->isVisible() && years->isVisible());
    QCOMPARE(years->count(), 227);
    QCOMPARE(years->item(0)->text(), QStringLiteral("1900"));
    QCOMPARE(years->item(226)->text(), QStringLiteral("2126"));
    QCOMPARE(years->currentItem()->text(), QStringLiteral("2025"));

    clickItem(months, 2);
    QCOMPARE(m_cal->ChoixDate(), d("01/03/2025"));
    QVERIFY(!months->isVisible() && !years->isVisible());
    QVERIFY(m_cal->isOpen());

    pressTitle(Qt::RightButton);
    clickItem(years, 2030 - 1900);
    QCOMPARE(m_cal->ChoixDate(), d("01/03/2030"));
    QCOMPARE(title(), QStringLiteral("mars 2030"));
    QVERIFY(!years->isVisible());
    QVERIFY(m_cal->isOpen());
    QCOMPARE(m_change->count(), 0);
}

void TestMiniCal::yearListSelectsTheNearestYear() {
    m_clock.setToday("10/06/2026");
    const std::pair<const char*, QString> cases[] = {
        {"10/01/2200", "2126"}, {"10/01/1850", "1900"}, {"10/01/2126", "2126"}};
    auto* years = child<QListWidget>("lstAnnee");
    for (const auto& [shown, selected] : cases) {
        m_cal->ChangeJour(d(shown));
        open();
        pressTitle(Qt::RightButton);
        QVERIFY(years->currentItem());
        QCOMPARE(years->currentItem()->text(), selected);
        QVERIFY(years->viewport()->rect().contains(years->visualItemRect(years->currentItem())));
        m_cal->Ferme();
    }
}

void TestMiniCal::closingActionsAndChange() {
    // "Ce jour", with a list open.
    m_cal->ChangeJour(d("20/05/2024"));
    open();
    pressTitle(Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("cmdToday"), Qt::LeftButton);
    QVERIFY(!m_cal->isOpen());
    QVERIFY(!child<QListWidget>("lstMois")->isVisible() && !child<QPushButton>("cmdToday")->isVisible());
    QCOMPARE(m_cal->height(), twips::px(285));
    QCOMPARE(m_cal->ChoixDate(), d("15/03/2024"));
    QCOMPARE(text(), QStringLiteral("15/03/2024"));
    QCOMPARE(m_change->count(), 1);

    // A day of the month shown.
    open();
    QTest::mouseClick(cell(24), Qt::LeftButton); // 20 March
    QVERIFY(!m_cal->isOpen());
    QCOMPARE(m_cal->height(), twips::px(285));
    QCOMPARE(m_cal->ChoixDate(), d("20/03/2024"));
    QCOMPARE(m_change->count(), 2);

    // Ferme: no event, nothing chosen.
    open();
    pressTitle(Qt::RightButton);
    m_cal->Ferme();
    QVERIFY(!m_cal->isOpen() && !child<QListWidget>("lstAnnee")->isVisible());
    QCOMPARE(m_cal->height(), twips::px(285));
    QCOMPARE(m_cal->ChoixDate(), d("20/03/2024"));
    QCOMPARE(m_change->count(), 2);
}

void TestMiniCal::neighbouringDaysCannotBePicked() {
    m_cal->ChangeJour(d("15/03/2024"));
    open();
    for (int i : {2, 40}) { // 27 February, 4 April
        QTest::mouseClick(cell(i), Qt::LeftButton);
        QVERIFY(m_cal->isOpen());
        QCOMPARE(m_cal->ChoixDate(), d("15/03/2024"));
    }
    QCOMPARE(m_change->count(), 0);
}

void TestMiniCal::keyboardPicksADay() {
    auto* button = child<QToolButton>("cmdDate");
    QCOMPARE(button->accessibleName(), QStringLiteral("Choisir la date"));
    QCOMPARE(child<QLineEdit>("txtDate")->accessibleName(), QStringLiteral("Date"));
    button->setFocus(Qt::TabFocusReason);

    key(Qt::Key_Space);
    QVERIFY(m_cal->isOpen());
    key(Qt::Key_Tab);
    QCOMPARE(focus(), child<QLabel>("lblMoisAnnee"));
    key(Qt::Key_Tab); // the grid is one stop, on the chosen day
    QCOMPARE(focus(), cell(19));

    key(Qt::Key_Right);
    key(Qt::Key_Down);
    QCOMPARE(focus(), cell(27)); // 23 March
    key(Qt::Key_Home);
    key(Qt::Key_Left); // stays in the month
    QCOMPARE(focus(), cell(5));
    key(Qt::Key_End);
    key(Qt::Key_Down);
    QCOMPARE(focus(), cell(35));
    key(Qt::Key_Up);
    QCOMPARE(m_cal->ChoixDate(), d("15/03/2024")); // moving does not choose

    key(Qt::Key_Return);
    QVERIFY(!m_cal->isOpen());
    QCOMPARE(m_cal->ChoixDate(), d("24/03/2024"));
    QCOMPARE(m_change->count(), 1);
    QCOMPARE(focus(), button);

    key(Qt::Key_F4);
    QVERIFY(m_cal->isOpen());
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    QCOMPARE(focus(), cell(28)); // 24 March
    key(Qt::Key_Left);
    key(Qt::Key_Space);
    QCOMPARE(m_cal->ChoixDate(), d("23/03/2024"));
    QCOMPARE(m_change->count(), 2);
}

void TestMiniCal::keyboardStepsMonthsAndEscapes() {
    m_cal->ChangeJour(d("15/03/2024"));
    open();
    cell(19)->setFocus(Qt::TabFocusReason);
    key(Qt::Key_PageDown);
    QCOMPARE(m_cal->ChoixDate(), d("01/04/2024"));
    QCOMPARE(focus(), cell(8)); // 1 April follows a whole week of March
    key(Qt::Key_PageUp);
    key(Qt::Key_PageUp);
    QCOMPARE(m_cal->ChoixDate(), d("01/02/2024"));
    QCOMPARE(focus(), cell(4));

    key(Qt::Key_Escape);
    QVERIFY(!m_cal->isOpen());
    QCOMPARE(m_cal->ChoixDate(), d("01/02/2024"));
    QCOMPARE(m_change->count(), 0);
    QCOMPARE(focus(), child<QToolButton>("cmdDate"));
}

void TestMiniCal::keyboardDrivesTheLists() {
    m_cal->ChangeJour(d("15/03/2024"));
    open();
    auto* months = child<QListWidget>("lstMois");
    auto* years = child<QListWidget>("lstAnnee");
    child<QLabel>("lblMoisAnnee")->setFocus(Qt::TabFocusReason);

    key(Qt::Key_Return);
    QCOMPARE(focus(), months);
    key(Qt::Key_Down);
    QCOMPARE(m_cal->ChoixDate(), d("15/03/2024")); // moving in a list does not choose
    key(Qt::Key_Return);
    QVERIFY(!months->isVisible() && m_cal->isOpen());
    QCOMPARE(m_cal->ChoixDate(), d("01/04/2024"));
    QCOMPARE(focus(), cell(8));

    child<QLabel>("lblMoisAnnee")->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Return, Qt::ShiftModifier);
    QVERIFY(years->isVisible() && !months->isVisible());
    key(Qt::Key_Up);
    key(Qt::Key_Enter);
    QCOMPARE(m_cal->ChoixDate(), d("01/04/2023"));

    child<QLabel>("lblMoisAnnee")->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Menu);
    QVERIFY(years->isVisible());
    key(Qt::Key_Escape);
    QVERIFY(!m_cal->isOpen() && !years->isVisible());
    QCOMPARE(m_change->count(), 0);
}

ZENTO_QTEST_MAIN(TestMiniCal)
#include "tst_ucMiniCal.moc"
