#include "session/Session.h"
#include "support/CoreFakes.h"
#include "support/QtTestMain.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>

#include <memory>

using namespace zento;
using zento::test::TempDir;
using zento::test::writeFile;

namespace {

std::string section(std::int32_t id, const std::string& message, const std::string& time,
                    const std::string& recurrence = "0") {
    return "[Alerte" + std::to_string(id) + "]\r\nInfo1=" + message + "\r\nInfo2=01/03/2027\r\nInfo3=" +
           recurrence + "\r\nInfo4=5\r\nInfo5=\r\nInfo6=0\r\nInfo7=0\r\nInfo8=" + time +
           "\r\nInfo9=0\r\nInfo10=\r\n";
}

Date march(unsigned d) {
    return Date{std::chrono::year{2027}, std::chrono::March, std::chrono::day{d}};
}

/// A store of three alerts due at 08:00, 09:00 and 10:00 on 1 March 2027, the clock at 09:30.
struct World {
    TempDir dir;
    AlertStore store{dir / "Alertes.ini"};
    test::FakeClock clock;
    test::FakeRandom random;
    std::unique_ptr<Session> session;
    std::vector<std::int32_t> announced;

    explicit World(const std::string& param = {}) {
        writeFile(store.IniPath(), "[Param]\r\n" + param + section(1, "huit", "08:00") +
                                       section(2, "neuf", "09:00", "1") + section(3, "dix", "10:00"));
        clock.set(march(1), std::chrono::minutes(9 * 60 + 30));
        session = std::make_unique<Session>(store, clock, random);
        QObject::connect(session.get(), &Session::alertDue,
                         [this](const Alerte& a) { announced.push_back(a.Id); });
    }
    std::int32_t tick() {
        announced.clear();
        session->Timer1_Timer();
        return announced.empty() ? 0 : announced.front();
    }
};

} // namespace

class tst_Session final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theTickRunsWheneverNoPopupOfAnAlertIsOpen() {
        World w;
        QVERIFY(!w.session->Timer1().isActive()); // nothing is due before the store is read
        w.session->LoadAllAlerts();
        QVERIFY(w.session->Timer1().isActive());
        QCOMPARE(w.session->Timer1().interval(), 3000);

        auto test = std::make_unique<QObject>();
        w.session->trackPopup(test.get(), std::nullopt);
        QVERIFY2(w.session->Timer1().isActive(), "a test popup never stops the tick");
        auto first = std::make_unique<QObject>();
        auto second = std::make_unique<QObject>();
        w.session->trackPopup(first.get(), 1);
        w.session->trackPopup(second.get(), 2);
        QVERIFY(!w.session->Timer1().isActive());
        QCOMPARE(w.session->openPopupCount(), 3);
        w.session->LoadAllAlerts();
        QVERIFY2(!w.session->Timer1().isActive(), "a reload does not start it under an open popup");
        first.reset();
        QVERIFY(!w.session->Timer1().isActive());
        second.reset(); // however the last one goes: answered, closed, deleted
        QVERIFY(w.session->Timer1().isActive());
        test.reset();
        QCOMPARE(w.session->openPopupCount(), 0);
        QVERIFY(w.session->Timer1().isActive());
    }

    void aTickAnnouncesTheFirstDueAlertWhosePopupIsNotOpen() {
        World w;
        w.session->LoadAllAlerts();
        QCOMPARE(w.tick(), 1);
        QObject popup;
        w.session->trackPopup(&popup, 1);
        w.session->LoadAllAlerts();
        QCOMPARE(w.tick(), 2);
        w.clock.set(march(1), std::chrono::hours(7));
        QCOMPARE(w.tick(), 0);
        w.clock.set(march(2), std::chrono::hours(0)); // a night asleep: all of yesterday is due
        QCOMPARE(w.tick(), 2);
    }

    void answersSaveThenReloadAndTellTheViews() {
        World w;
        w.session->LoadAllAlerts();
        QSignalSpy changed(w.session.get(), &Session::tableChanged);
        DueAlert daily = DueAlert::of(w.session->table().at(2));
        QVERIFY(w.session->acknowledge(daily));
        QCOMPARE(w.session->table().at(2).AlertDate, std::string("02/03/2027"));
        QVERIFY(w.session->snooze(1, 2));
        QCOMPARE(w.session->table().at(1).AlertTime, std::string("09:45"));
        QVERIFY(w.session->deleteAlert(3));
        QVERIFY2(w.session->deleteAlert(3), "deleting what is gone is no failure");
        QCOMPARE(w.session->table().AlertCount(), 2);
        QCOMPARE(changed.count(), 4);

        Alerte empty = w.session->newAlert();
        QVERIFY(!w.session->addAlert(empty));
        QCOMPARE(changed.count(), 4); // a refusal changes nothing
        empty.Message = "nouveau";
        QCOMPARE(w.session->addAlert(empty).value(), 3);
        QCOMPARE(changed.count(), 5);
        QCOMPARE(w.tick(), 3); // the others moved on; the new one, all day today, is due now
    }

    void theDefaultEmoticonIsTheOneReadAtStart() {
        World w("Img=9\r\n");
        QVERIFY(w.session->service().setDefaultEmoticon("3"));
        QCOMPARE(w.session->newAlert().Emoticon, std::string("9"));
        QCOMPARE(w.session->newAlert().AlertDate, std::string("01/03/2027"));
    }

    void anUnreadableStoreIsSaidOnceAndShowsNoAlerts() {
        World w;
        std::filesystem::remove(w.store.IniPath());
        std::filesystem::create_directory(w.store.IniPath());
        QSignalSpy failed(w.session.get(), &Session::loadFailed);
        w.session->LoadAllAlerts();
        w.session->LoadAllAlerts();
        QCOMPARE(failed.count(), 1);
        QCOMPARE(w.session->table().AlertCount(), 0);
        QVERIFY(w.session->Timer1().isActive());
    }
};

ZENTO_QTEST_MAIN(tst_Session)
#include "tst_Session.moc"
