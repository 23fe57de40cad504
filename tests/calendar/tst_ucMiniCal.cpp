#include "calendar/ucMiniCal.h"
#include "support/CoreFakes.h"
#include "support/QtTestMain.h"
#include "support/WindowChecks.h"

#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

#include <memory>

using namespace zento;
using namespace std::chrono;

namespace {
const auto d = [](const QString& text) { return *ParseDate(text.toStdString()); };

/// From a chosen date, closed, focus on the drop-down button, today 15/03/2024. Steps: a key
/// sequence, "@name" a left click on it (":R" right button, ":n" row n of a list), "Ferme".
struct Script {
    const char *from, *steps, *chosen;
    bool open;
    int changes;
    const char* focus = "cmdDate";
};
const Script kScripts[] = {
    {"10/12/2024", "@cmdDate @lblNext @lblPrevious @lblPrevious @cmdDate", "01/11/2024", false, 1},
    {"20/05/2024", "@cmdDate @lblJour_24", "22/05/2024", false, 1},
    {"20/05/2024", "@cmdDate @lblJour_40 @lblJour_1", "20/05/2024", true, 0}, // other months
    {"20/05/2024", "@cmdDate @lblMoisAnnee @cmdToday", "15/03/2024", false, 1},
    {"20/05/2024", "@cmdDate @lblMoisAnnee:R Ferme", "20/05/2024", false, 0},
    {"20/05/2024", "@cmdDate @lblMoisAnnee @lstMois:2 @lblMoisAnnee:R @lstAnnee:128", "01/03/2028", true, 0,
     "lblJour_3"},
    {"10/01/2200", "@cmdDate @lblMoisAnnee:R Return", "01/01/2124", true, 0, "lblJour_6"}, // today + 100
    {"10/01/1850", "@cmdDate @lblMoisAnnee:R Return", "01/01/1900", true, 0, "lblJour_8"},
    {"15/03/2024", "Space Tab Tab Home Left Right Down", "15/03/2024", true, 0, "lblJour_13"},
    {"15/03/2024", "F4 Tab Tab End Down Left Up Return", "23/03/2024", false, 1},
    {"15/03/2024", "F4 Tab Tab Right Return F4 Tab Tab Right Space", "17/03/2024", false, 2},
    {"15/03/2024", "F4 Tab Tab PgDown PgDown PgUp Shift+Tab Return Down Return", "01/05/2024", true, 0,
     "lblJour_3"},
    {"15/03/2024", "F4 Tab Shift+Space Up Enter Shift+Tab Menu Up Return Esc", "01/03/2022", false, 0},
    {"15/03/2024", "Alt+Down Tab Tab Alt+Up", "15/03/2024", false, 1},
};
} // namespace

class TestMiniCal : public QObject {
    Q_OBJECT

    test::FakeClock m_clock;
    std::unique_ptr<QWidget> m_host;
    ucMiniCal* m_cal = nullptr;
    std::unique_ptr<QSignalSpy> m_change;

    template <class T = QWidget>
    T* child(const QString& name) const {
        return m_cal->findChild<T*>(name);
    }
    QLabel* cell(int i) const { return child<QLabel>(QStringLiteral("lblJour_%1").arg(i)); }
    QString text() const { return child<QLineEdit>("txtDate")->text(); }
    QColor background(int i) const { return cell(i)->palette().color(QPalette::Window); }
    QColor ink(int i) const {
        return cell(i)->palette().color(cell(i)->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                        QPalette::WindowText);
    }

private Q_SLOTS:
    void init() {
        m_clock.set(d("15/03/2024"), hours{10});
        m_host = std::make_unique<QWidget>();
        m_host->resize(400, 300);
        m_cal = new ucMiniCal(m_clock, m_host.get());
        m_cal->move(10, 10);
        m_change = std::make_unique<QSignalSpy>(m_cal, &ucMiniCal::Change);
        m_host->show();
        QApplication::setActiveWindow(m_host.get());
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
    }

    void openingDrawsTheGridOfTheChosenDateElseOfTodayAndHoldsTogether() {
        QCOMPARE(m_cal->ChoixDate(), kNoDate);
        QVERIFY(text().isEmpty());
        // Cell 1 always holds a day of the month before, never chosen: the reference of the others.
        const std::pair<const char*, const char*> cases[] = {
            {nullptr, "15/03/2024"}, {"20/05/2024", "15/03/2024"}, {"15/03/2024", "02/04/2024"}};
        for (const auto& [chosen, today] : cases) {
            m_clock.set(d(today), hours{10});
            if (chosen)
                m_cal->ChangeJour(d(chosen));
            QTest::mouseClick(child("cmdDate"), Qt::LeftButton);
            QVERIFY(m_cal->isOpen());
            const MonthGrid grid(d(chosen ? chosen : today), d(today));
            QCOMPARE(m_cal->ChoixDate(), grid.chosen());
            QCOMPARE(child<QLabel>("lblMoisAnnee")->text(), QString::fromStdString(grid.title()));
            for (int i = 1; i <= MonthGrid::kCellCount; ++i) {
                const DayCell& c = grid.cell(i);
                const QByteArray where = QByteArray(today) + " cell " + QByteArray::number(i);
                QVERIFY2(cell(i)->isVisible() && cell(i)->text() == QString::number(c.dayNumber), where);
                QVERIFY2(cell(i)->isEnabled() == c.inCurrentMonth && (ink(i) != ink(1)) == c.inCurrentMonth,
                         where);
                QVERIFY2((background(i) != background(1)) == c.isChosen, where);
                // Today is framed: its corner is not its background.
                QVERIFY2((cell(i)->grab().toImage().pixel(0, 0) != background(i).rgb()) == c.isToday, where);
            }
            // The frame starts under the box; the arrows lie over the title's ends.
            const QSet<QString> drawnOver = {"txtDate+fraCal", "cmdDate+fraCal", "cmdToday+fraCal",
                                             "lblPrevious+lblMoisAnnee", "lblNext+lblMoisAnnee"};
            QCOMPARE(test::windowFaults(m_cal, drawnOver).join(", "), QString());
            m_cal->Ferme();
        }
        // Dates the dd/MM/yyyy box cannot hold leave everything as it was.
        m_cal->ChangeJour(Date{year{2024}, February, day{30}});
        m_cal->ChangeJour(Date{year{12000}, January, day{1}});
        QCOMPARE(text(), QStringLiteral("15/03/2024"));
        QCOMPARE(m_change->count(), 0);
    }

    // Folded, the calendar's rectangle over the editor's controls is checked on the editor's window.
    void unfoldedOnlyWhatIsDrawnTakesClicksFromTheHost() {
        auto* below = new QPushButton(QStringLiteral("dessous"), m_host.get());
        below->setGeometry(10, 10, 380, 250);
        below->lower();
        below->show();
        const QPoint rightOfButton = m_cal->mapTo(m_host.get(), QPoint(m_cal->width() - 5, 5));
        const QPoint inGrid = cell(20)->mapTo(m_host.get(), cell(20)->rect().center());
        m_cal->lower(); // opening brings the calendar over it again
        QTest::mouseClick(child("cmdDate"), Qt::LeftButton);
        QVERIFY(m_cal->isOpen());
        QVERIFY(m_cal->isAncestorOf(m_host->childAt(inGrid)));
        QCOMPARE(m_host->childAt(rightOfButton), below);
    }

    void userChoosesWithMouseAndKeyboard_data() {
        QTest::addColumn<int>("script");
        for (int i = 0; i < int(std::size(kScripts)); ++i)
            QTest::addRow("%s %s", kScripts[i].from, kScripts[i].steps) << i;
    }
    void userChoosesWithMouseAndKeyboard() {
        QFETCH(int, script);
        const Script& s = kScripts[script];
        m_cal->ChangeJour(d(s.from));
        child("cmdDate")->setFocus(Qt::TabFocusReason);
        for (const QString& step : QString::fromLatin1(s.steps).split(QLatin1Char(' '))) {
            const QStringList target = step.mid(1).split(QLatin1Char(':'));
            if (step == QLatin1String("Ferme")) {
                m_cal->Ferme();
            } else if (!step.startsWith(QLatin1Char('@'))) {
                const QKeyCombination k = QKeySequence::fromString(step)[0];
                QTest::keyClick(QApplication::focusWidget(), k.key(), k.keyboardModifiers());
            } else if (auto* list = child<QListWidget>(target[0])) {
                const QPoint at = list->visualItemRect(list->item(target[1].toInt())).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            } else {
                const auto button = target.value(1) == QLatin1String("R") ? Qt::RightButton : Qt::LeftButton;
                QTest::mouseClick(child(target[0]), button, {}, child(target[0])->rect().center());
            }
        }
        QCOMPARE(text(), QString::fromLatin1(s.chosen));
        QCOMPARE(m_cal->ChoixDate(), d(s.chosen));
        QCOMPARE(m_cal->isOpen(), s.open);
        QCOMPARE(m_change->count(), s.changes);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(s.focus));
        QVERIFY(m_cal->isOpen() || m_cal->height() == child("txtDate")->height()); // folded to the box
    }
};

ZENTO_QTEST_MAIN(TestMiniCal)
#include "tst_ucMiniCal.moc"
