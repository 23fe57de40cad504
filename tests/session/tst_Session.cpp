#include "session/FileWatcher.h"
#include "session/Session.h"
#include "support/ProgramFixture.h"
#include "support/QtTestMain.h"

#include <filesystem>
#include <functional>
#include <memory>

using namespace zento;
using namespace std::chrono;
namespace fs = std::filesystem;
using zento::test::readFile;
using zento::test::TempDir;
using zento::test::writeFile;
using Ids = std::vector<std::int32_t>;

namespace {

std::string section(int id, const std::string& message, const char* time, const char* recurrence = "0") {
    return test::section(id, message + "|01/03/2027|" + recurrence + "|5||0|0|" + time + "|0|");
}

Alerte saying(Alerte a, const char* message) {
    a.Message = message;
    return a;
}

/// Replaces the file by another renamed over it, as sync tools and most editors save; the
/// replacement keeps the old modification time, as a synchronised copy does.
void replaceByRename(const fs::path& path, const std::string& bytes) {
    const fs::path temp = path.parent_path() / ".Alertes.ini.sync-tmp";
    writeFile(temp, bytes);
    fs::last_write_time(temp, fs::last_write_time(path));
    fs::rename(temp, path);
}

/// A session over a store of three alerts on 1 March 2027: "huit" at 08:00, "neuf" daily at
/// 09:00, "dix" at 10:00; the clock at 07:30, before them all. `link` puts the file in another
/// folder and the store behind a symbolic link to it.
struct World {
    TempDir dir;
    TempDir elsewhere;
    fs::path file;
    std::unique_ptr<AlertStore> store;
    test::FakeServices fakes;
    std::unique_ptr<Session> session;
    Ids announced;
    int reloads = 0;

    explicit World(bool link = false) : file((link ? elsewhere : dir) / "Alertes.ini") {
        writeFile(file, section(1, "huit", "08:00") + section(2, "neuf", "09:00", "1") +
                            section(3, "dix", "10:00"));
        // Written an hour ago, so that a change now moves its time even where the file clock is coarse.
        fs::last_write_time(file, fs::file_time_type::clock::now() - hours(1));
        if (link)
            fs::create_symlink(file, dir / "Alertes.ini");
        store = std::make_unique<AlertStore>(dir / "Alertes.ini");
        fakes.clock.set(Date{year{2027}, March, day{1}}, hours(7) + minutes(30));
        session = std::make_unique<Session>(*store, fakes.clock, fakes.random);
        QObject::connect(session.get(), &Session::alertDue,
                         [this](const Alerte& a) { announced.push_back(a.Id); });
        QObject::connect(session.get(), &Session::tableChanged, [this] { ++reloads; });
    }
    void load() {
        session->LoadAllAlerts();
        reloads = 0;
    }
    /// The file with an alert due at 07:00 added.
    std::string withDueAlert() const { return readFile(file) + section(7, "ajout dehors", "07:00"); }
    Ids tick() {
        announced.clear();
        session->Timer1_Timer();
        return announced;
    }
};

/// A write into the store just as the session starts reading it.
struct WriteDuringRead final : FileWatcher {
    std::function<void()> write; ///< done at the next mark, once
    void markRead() override {
        if (write)
            std::exchange(write, {})();
    }
    bool changedSinceRead() override { return bool(write); }
};

} // namespace

class tst_Session final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theTickRunsWheneverNoPopupOfAnAlertIsOpenEvenOnAnUnreadableStore() {
        World w;
        QVERIFY(!w.session->Timer1().isActive()); // nothing is due before the store is read
        w.session->LoadAllAlerts();
        QCOMPARE(w.session->Timer1().interval(), 3000);
        auto first = std::make_unique<QObject>();
        auto second = std::make_unique<QObject>();
        w.session->trackPopup(first.get(), 1);
        w.session->trackPopup(second.get(), 2);
        w.session->LoadAllAlerts();
        QVERIFY2(!w.session->Timer1().isActive(), "a reload does not start it under an open popup");
        first.reset();
        QVERIFY(!w.session->Timer1().isActive());
        second.reset(); // however the last one goes: answered, closed, deleted
        QVERIFY(w.session->Timer1().isActive());

        World unreadable;
        fs::remove(unreadable.file);
        fs::create_directory(unreadable.file);
        unreadable.session->LoadAllAlerts();
        QVERIFY2(unreadable.session->Timer1().isActive(), "the file is read again once mended");
    }

    void eachChangeIsOneSaveThenOneReload() {
        const struct {
            const char* name;
            std::function<bool(Session&)> change;
            std::int32_t id;
            std::string row; ///< what the table then shows of that alert, "" when it has none
            int reloads = 1;
        } cases[] = {
            {"add", [](Session& s) { return s.addAlert(saying(s.newAlert(), "nouvelle")).ok(); }, 4,
             "nouvelle 01/03/2027 "},
            {"refused add", [](Session& s) { return !s.addAlert(s.newAlert()).ok(); }, 4, "", 0},
            {"change", [](Session& s) { return s.saveAlert(1, saying(s.table().at(1), "changée")).ok(); }, 1,
             "changée 01/03/2027 08:00"},
            {"delete", [](Session& s) { return s.deleteAlert(3).ok(); }, 3, ""},
            {"delete what is gone", [](Session& s) { return s.deleteAlert(9).ok(); }, 9, ""},
            {"acknowledge", [](Session& s) { return s.acknowledge(DueAlert::of(s.table().at(2))).ok(); }, 2,
             "neuf 02/03/2027 09:00"},
            {"snooze", [](Session& s) { return s.snooze(1, 2).ok(); }, 1, "huit 01/03/2027 07:45"},
        };
        for (const auto& c : cases) {
            World w;
            w.load();
            QVERIFY2(c.change(*w.session), c.name);
            const auto position = w.session->table().positionOf(c.id);
            const Alerte* a = position ? &w.session->table().at(*position) : nullptr;
            QCOMPARE(a ? a->Message + " " + a->AlertDate + " " + a->AlertTime : "", c.row);
            QVERIFY2(w.reloads == c.reloads, c.name);
            w.tick();
            QVERIFY2(w.reloads == c.reloads, c.name); // its own save is no outside change
        }
    }

    void everyKindOfOutsideChangeIsReloadedAtTheNextTick() {
        const auto handEdit = [](World& w) { writeFile(w.file, w.withDueAlert()); };
        const auto syncTool = [](World& w) { replaceByRename(w.file, w.withDueAlert()); };
        const struct {
            const char* name;
            bool link;
            std::function<void(World&)> change;
            Ids due = {7}; ///< announced at the next tick
            int reloads = 1;
        } cases[] = {
            {"read only", false, [](World& w) { (void)readFile(w.dir / "Alertes.ini"); }, {}, 0},
            {"hand edit", false, handEdit},
            {"hand edit of the same size",
             false,
             [](World& w) {
                 std::string bytes = readFile(w.file);
                 bytes[bytes.find("huit")] = 'H';
                 writeFile(w.file, bytes);
             },
             {}},
            {"sync tool", false, syncTool},
            {"sync tool, same size and time",
             false,
             [](World& w) { replaceByRename(w.file, readFile(w.file)); },
             {}},
            {"removed", false, [](World& w) { fs::remove(w.file); }, {}},
            {"created after the start", false,
             [](World& w) {
                 fs::remove(w.file);
                 w.load();
                 writeFile(w.file, w.withDueAlert());
             }},
            {"behind a link, a hand edit", true, handEdit},
            {"the link made to point elsewhere", true,
             [](World& w) {
                 writeFile(w.elsewhere / "autre.ini", w.withDueAlert());
                 fs::remove(w.dir / "Alertes.ini");
                 fs::create_symlink(w.elsewhere / "autre.ini", w.dir / "Alertes.ini");
             }},
        };
        for (const auto& c : cases) {
            World w(c.link);
            w.load();
            QCOMPARE(w.tick(), Ids{});
            c.change(w);
            QVERIFY2(w.tick() == c.due, c.name); // reloaded in the same tick
            QVERIFY2(w.reloads == c.reloads, c.name);
            w.tick();
            QVERIFY2(w.reloads == c.reloads, c.name);
        }
    }

    void aChangeDuringTheReadIsNotLost() {
        World w;
        auto watcher = std::make_unique<WriteDuringRead>();
        WriteDuringRead& watch = *watcher;
        w.session->setStoreWatcher(std::move(watcher));
        w.load();
        watch.write = [&w] { writeFile(w.file, w.withDueAlert()); };
        QCOMPARE(w.tick(), Ids{7});
    }
};

ZENTO_QTEST_MAIN(tst_Session)
#include "tst_Session.moc"
