// The Fichier menu's iCalendar commands, as the user goes through them: the dialogs answered by a
// script, the files real.
#include "editor/frmMain.h"
#include "session/Session.h"
#include "support/FakeServices.h"
#include "support/QtTestMain.h"
#include "support/TestEnvironment.h"

#include <QAction>

#include <memory>

using namespace zento;
using zento::test::readFile;
using zento::test::TempDir;
using zento::test::writeFile;

namespace {

const char* const kEvent = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//x//EN\r\n"
                           "BEGIN:VEVENT\r\nUID:e1@agenda\r\nDTSTAMP:20261201T000000Z\r\n"
                           "DTSTART:20300115T100000\r\nSUMMARY:Dentiste\r\nX-ZENTO-ACTION:https://exemple.fr/rdv\r\n"
                           "END:VEVENT\r\nEND:VCALENDAR\r\n";

struct World {
    TempDir dir;
    AlertStore store{dir / "Alertes.ini"};
    test::FakeServices fakes;
    Session session{store, fakes.clock, fakes.random};
    frmMain window{session, fakes.services};

    World() {
        fakes.clock.set(Date{std::chrono::year{2026}, std::chrono::December, std::chrono::day{7}},
                        std::chrono::hours(9));
        session.LoadAllAlerts();
    }
    void trigger(const char* entry) { window.findChild<QAction*>(QLatin1String(entry))->trigger(); }
    QString path(const char* name) const { return QString::fromStdString((dir / name).string()); }
};

} // namespace

class tst_CalendarMenu final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void importAsksForActionsWithNoAsTheDefault_data() {
        QTest::addColumn<bool>("accept");
        QTest::newRow("declined") << false;
        QTest::newRow("accepted") << true;
    }
    void importAsksForActionsWithNoAsTheDefault() {
        QFETCH(bool, accept);
        World w;
        writeFile(w.dir / "in.ics", kEvent);
        w.fakes.dialogs.files = {w.path("in.ics")};
        w.fakes.dialogs.answers = {accept};
        w.trigger("mnuImport");
        const auto& shown = w.fakes.dialogs.shown;
        QCOMPARE(shown.size(), std::size_t{2});
        QVERIFY(shown[0].question && !shown[0].yesByDefault);
        QVERIFY(shown[0].text.contains(QStringLiteral("https://exemple.fr/rdv")));
        QVERIFY(shown[1].text.startsWith(QStringLiteral("1 alertes importées")));
        QCOMPARE(w.session.table().AlertCount(), 1);
        QCOMPARE(w.session.table().at(1).Action, std::string(accept ? "https://exemple.fr/rdv" : ""));
        QCOMPARE(w.session.table().at(1).Uid, std::string("e1@agenda"));
    }

    void aBrokenOrMissingFileChangesNothingAndSaysWhy() {
        World w;
        writeFile(w.dir / "broken.ics", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n");
        w.fakes.dialogs.files = {w.path("broken.ics"), w.path("absent.ics")};
        w.trigger("mnuImport");
        w.trigger("mnuImport");
        const QStringList texts = w.fakes.dialogs.texts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts[0].startsWith(QStringLiteral("Impossible d'importer le calendrier : ")));
        QVERIFY(texts[1].startsWith(QStringLiteral("Impossible de lire le calendrier : ")));
        QVERIFY(!w.store.exists());
    }

    void exportWritesWhatImportReadsBack() {
        World w;
        Alerte a = w.session.newAlert();
        a.Message = "Loyer";
        a.AlertDate = "31/01/2030";
        a.Recurrence = "4";
        QVERIFY(w.session.addAlert(a));
        w.fakes.dialogs.files = {w.path("out.ics")};
        w.trigger("mnuExport");
        QVERIFY(w.fakes.dialogs.texts().last().startsWith(QStringLiteral("1 alertes exportées\n« Loyer »")));
        QVERIFY(readFile(w.dir / "out.ics").starts_with("BEGIN:VCALENDAR"));

        World other;
        other.fakes.dialogs.files = {w.path("out.ics")};
        other.trigger("mnuImport");
        QCOMPARE(other.session.table().AlertCount(), 1);
        Alerte back = other.session.table().at(1);
        back.Id = a.Id = 1;
        back.Uid.clear();
        QCOMPARE(back, *AlertService::validate(a));
    }
};

ZENTO_QTEST_MAIN(tst_CalendarMenu)
#include "tst_CalendarMenu.moc"
