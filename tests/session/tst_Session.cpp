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
using namespace zento::test;
using Ids = std::vector<std::int32_t>;

namespace {

std::string section(int id, const std::string& message, const char* time, const char* recurrence = "0") {
    return test::section(id, message + "|01/03/2027|" + recurrence + "|5||0|0|" + time + "|0|");
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
    TempDir dir, elsewhere;
    fs::path file;
    AlertStore store{dir / "Alertes.ini"};
    FakeServices fakes;
    Session session{store, fakes.clock, fakes.random};
    Ids announced;
    int reloads = 0;

    explicit World(bool link = false) : file((link ? elsewhere : dir) / "Alertes.ini") {
        writeFile(file, section(1, "huit", "08:00") + section(2, "neuf", "09:00", "1") +
                            section(3, "dix", "10:00"));
        // Written an hour ago, so that a change now moves its time even where the file clock is coarse.
        fs::last_write_time(file, fs::file_time_type::clock::now() - hours(1));
        if (link)
            fs::create_symlink(file, dir / "Alertes.ini");
        fakes.clock.set(Date{year{2027}, March, day{1}}, hours(7) + minutes(30));
        QObject::connect(&session, &Session::alertDue,
                         [this](const Alerte& a) { announced.push_back(a.Id); });
        QObject::connect(&session, &Session::tableChanged, [this] { ++reloads; });
    }
    void load() {
        session.LoadAllAlerts();
        reloads = 0;
    }
    std::string withDueAlert() const { return readFile(file) + section(7, "ajout dehors", "07:00"); }
    Ids tick() {
        session.Timer1_Timer();
        return std::exchange(announced, {});
    }
};

/// Sees a change at once, and makes it (a write into the store) just as the session starts reading.
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
        QVERIFY(!w.session.Timer1().isActive()); // nothing is due before the store is read
        w.session.LoadAllAlerts();
        QCOMPARE(w.session.Timer1().interval(), 3000);
        auto first = std::make_unique<QObject>();
        auto second = std::make_unique<QObject>();
        w.session.trackPopup(first.get(), 1);
        w.session.trackPopup(second.get(), 2);
        w.session.LoadAllAlerts();
        QVERIFY2(!w.session.Timer1().isActive(), "a reload does not start it under an open popup");
        first.reset();
        QVERIFY(!w.session.Timer1().isActive());
        second.reset(); // however the last one goes: answered, closed, deleted
        QVERIFY(w.session.Timer1().isActive());

        World unreadable;
        fs::remove(unreadable.file);
        fs::create_directory(unreadable.file);
        unreadable.session.LoadAllAlerts();
        QVERIFY2(unreadable.session.Timer1().isActive(), "the file is read again once mended");
    }

    void eachChangeIsOneSaveThenOneReload() {
        const std::pair<const char*, std::function<bool(Session&)>> cases[] = {
            {"add", [](Session& s) { return s.addAlert(s.table().at(1)).ok(); }},
            {"change", [](Session& s) { return s.saveAlert(1, s.table().at(1)).ok(); }},
            {"delete", [](Session& s) { return s.deleteAlert(3).ok(); }},
            {"delete what is gone", [](Session& s) { return s.deleteAlert(9).ok(); }},
            {"acknowledge", [](Session& s) { return s.acknowledge(DueAlert::of(s.table().at(2))).ok(); }},
            {"snooze", [](Session& s) { return s.snooze(1, 2).ok(); }},
            {"refused add: no reload", [](Session& s) { return s.addAlert(s.newAlert()).ok(); }},
        };
        for (const auto& [name, change] : cases) {
            World w;
            w.load();
            const bool refused = QByteArray(name).startsWith("refused");
            QVERIFY2(change(w.session) != refused, name);
            QVERIFY2(w.reloads == !refused, name);
            w.tick();
            QVERIFY2(w.reloads == !refused, name); // its own save is no outside change
        }
    }

    void everyKindOfOutsideChangeIsReloadedAtTheNextTick() {
        const std::tuple<const char*, bool, int, bool, std::function<void(World&)>> cases[] = {
            {"read only", false, 0, false, [](World& w) { (void)readFile(w.dir / "Alertes.ini"); }},
            {"rewritten, same size", false, 1, false, [](World& w) { writeFile(w.file, readFile(w.file)); }},
            {"sync tool", false, 1, true, [](World& w) { replaceByRename(w.file, w.withDueAlert()); }},
            {"sync tool, same size and time", false, 1, false,
             [](World& w) { replaceByRename(w.file, readFile(w.file)); }},
            {"removed", false, 1, false, [](World& w) { fs::remove(w.file); }},
            {"created after the start", false, 1, true,
             [](World& w) {
                 fs::remove(w.file);
                 w.load();
                 writeFile(w.file, w.withDueAlert());
             }},
            {"behind a link, a hand edit", true, 1, true,
             [](World& w) { writeFile(w.file, w.withDueAlert()); }},
            {"the link made to point elsewhere", true, 1, true,
             [](World& w) {
                 writeFile(w.elsewhere / "autre.ini", w.withDueAlert());
                 fs::remove(w.dir / "Alertes.ini");
                 fs::create_symlink(w.elsewhere / "autre.ini", w.dir / "Alertes.ini");
             }},
            {"written as the tick reads it", false, 1, true,
             [](World& w) {
                 auto watcher = std::make_unique<WriteDuringRead>();
                 watcher->write = [&w] { writeFile(w.file, w.withDueAlert()); };
                 w.session.setStoreWatcher(std::move(watcher));
             }},
        };
        for (const auto& [name, link, reloads, added, change] : cases) {
            World w(link);
            w.load();
            QCOMPARE(w.tick(), Ids{});
            change(w);
            QVERIFY2(w.tick() == (added ? Ids{7} : Ids{}), name); // reloaded in the same tick
            QVERIFY2(w.reloads == reloads, name);
            w.tick();
            QVERIFY2(w.reloads == reloads, name);
        }
    }
};

ZENTO_QTEST_MAIN(tst_Session)
#include "tst_Session.moc"
