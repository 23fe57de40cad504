#include "editor/AlarmGrid.h"
#include "editor/AlertEditor.h"
#include "editor/MessageTextBox.h"
#include "editor/frmMain.h"
#include "session/FileWatcher.h"
#include "session/Session.h"
#include "support/FakeServices.h"
#include "support/QtTestMain.h"

#include <QPushButton>
#include <QSignalSpy>

#include <filesystem>
#include <functional>
#include <memory>

using namespace zento;
using namespace std::chrono;
namespace fs = std::filesystem;
using zento::test::readFile;
using zento::test::TempDir;
using zento::test::writeFile;

namespace {

std::string section(int id, const std::string& message, const char* time) {
    return "[Alerte" + std::to_string(id) + "]\r\nInfo1=" + message +
           "\r\nInfo2=01/03/2027\r\nInfo3=0\r\nInfo4=5\r\nInfo5=\r\nInfo6=0\r\nInfo7=0\r\nInfo8=" + time +
           "\r\nInfo9=0\r\nInfo10=\r\n";
}

/// Writes the file in place, keeping its identity, as a hand edit in a text editor may.
void writeInPlace(const fs::path& path, const std::string& bytes) {
    writeFile(path, bytes);
}

/// Replaces the file by another renamed over it, as sync tools and most editors save; the
/// replacement keeps the old modification time, as a synchronised copy does.
void replaceByRename(const fs::path& path, const std::string& bytes) {
    const fs::path temp = path.parent_path() / ".Alertes.ini.sync-tmp";
    writeFile(temp, bytes);
    fs::last_write_time(temp, fs::last_write_time(path));
    fs::rename(temp, path);
}

/// Makes the file look written an hour ago, so that a change now moves its time even on a
/// file system whose clock is coarse.
void age(const fs::path& path) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - hours(1));
}

/// A store of one alert due at 10:00 on 1 March 2027, read by a session; the clock at 09:30.
/// `link` puts the file in another folder and the store behind a symbolic link to it.
struct World {
    TempDir dir;
    TempDir elsewhere;
    fs::path file;
    std::unique_ptr<AlertStore> store;
    test::FakeServices fakes;
    std::unique_ptr<Session> session;
    std::vector<std::int32_t> announced;
    int reloads = 0;

    explicit World(bool link = false) : file((link ? elsewhere : dir) / "Alertes.ini") {
        writeFile(file, base());
        age(file);
        if (link)
            fs::create_symlink(file, dir / "Alertes.ini");
        store = std::make_unique<AlertStore>(dir / "Alertes.ini");
        fakes.clock.set(Date{year{2027}, March, day{1}}, minutes(9 * 60 + 30));
        session = std::make_unique<Session>(*store, fakes.clock, fakes.random);
        QObject::connect(session.get(), &Session::alertDue,
                         [this](const Alerte& a) { announced.push_back(a.Id); });
        session->LoadAllAlerts();
        QObject::connect(session.get(), &Session::tableChanged, [this] { ++reloads; });
    }
    static std::string base() { return section(1, "plus tard", "10:00"); }
    /// An alert due now added to what the file holds.
    std::string withDueAlert() const { return readFile(file) + section(7, "ajout dehors", "09:00"); }
    std::vector<std::int32_t> tick() {
        announced.clear();
        session->Timer1_Timer();
        return announced;
    }
};

using Ids = std::vector<std::int32_t>;

/// Tells what the test says, and writes into the store when asked whether it was read.
struct ScriptedWatcher final : FileWatcher {
    bool changed = false;
    std::function<void()> onMarkRead;
    void markRead() override {
        changed = false;
        if (onMarkRead)
            onMarkRead();
    }
    bool changedSinceRead() override { return changed; }
};

} // namespace

class tst_StoreWatcher final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theWatchSeesEveryKindOfOutsideChange() {
        const struct {
            const char* name;
            bool link;
            std::function<void(World&)> change;
            bool changes = true;
        } cases[] = {
            {"read only", false, [](World& w) { (void)readFile(w.dir / "Alertes.ini"); }, false},
            {"appended in place", false, [](World& w) { writeInPlace(w.file, w.withDueAlert()); }},
            {"rewritten in place, same size", false,
             [](World& w) {
                 std::string bytes = World::base();
                 bytes[bytes.find("plus")] = 'P';
                 writeInPlace(w.file, bytes);
             }},
            {"replaced by a rename", false, [](World& w) { replaceByRename(w.file, World::base()); }},
            {"removed", false, [](World& w) { fs::remove(w.file); }},
            {"behind a link, its target appended", true,
             [](World& w) { writeInPlace(w.file, w.withDueAlert()); }},
            {"behind a link, its target replaced", true,
             [](World& w) { replaceByRename(w.file, World::base()); }},
            {"the link made to point elsewhere", true,
             [](World& w) {
                 writeFile(w.elsewhere / "autre.ini", World::base());
                 fs::remove(w.dir / "Alertes.ini");
                 fs::create_symlink(w.elsewhere / "autre.ini", w.dir / "Alertes.ini");
             }},
        };
        for (const auto& c : cases) {
            World w(c.link);
            StatFileWatcher watch(w.dir / "Alertes.ini");
            watch.markRead();
            QVERIFY2(!watch.changedSinceRead(), c.name);
            c.change(w);
            QVERIFY2(watch.changedSinceRead() == c.changes, c.name);
            QVERIFY2(watch.changedSinceRead() == c.changes, c.name); // asking changes nothing
            watch.markRead();
            QVERIFY2(!watch.changedSinceRead(), c.name);
        }

        TempDir empty; // a store created after the start
        StatFileWatcher watch(empty / "Alertes.ini");
        watch.markRead();
        QVERIFY(!watch.changedSinceRead());
        writeFile(empty / "Alertes.ini", World::base());
        QVERIFY(watch.changedSinceRead());
    }

    void anOutsideChangeIsReloadedAtTheNextTick() {
        const struct {
            const char* name;
            bool link;
            void (*write)(const fs::path&, const std::string&);
        } cases[] = {
            {"hand edit", false, writeInPlace},
            {"sync tool", false, replaceByRename},
            {"sync tool behind a link", true, replaceByRename},
        };
        for (const auto& c : cases) {
            World w(c.link);
            QCOMPARE(w.tick(), Ids{});
            c.write(w.file, w.withDueAlert());
            QVERIFY2(w.tick() == Ids{7}, c.name); // reloaded and announced in the same tick
            QCOMPARE(w.reloads, 1);
            QCOMPARE(w.tick(), Ids{7});
            QCOMPARE(w.reloads, 1);
            QVERIFY2(fs::is_symlink(w.dir / "Alertes.ini") == c.link, c.name);
        }
    }

    void theSessionsOwnSavesAreReloadedOnce() {
        const struct {
            const char* name;
            std::function<bool(Session&)> save;
        } cases[] = {
            {"add",
             [](Session& s) {
                 Alerte a = s.newAlert();
                 a.Message = "nouvelle";
                 return s.addAlert(a).ok();
             }},
            {"change", [](Session& s) { return s.saveAlert(1, s.table().at(1)).ok(); }},
            {"delete", [](Session& s) { return s.deleteAlert(1).ok(); }},
            {"acknowledge", [](Session& s) { return s.acknowledge(DueAlert::of(s.table().at(1))).ok(); }},
            {"snooze", [](Session& s) { return s.snooze(1, 2).ok(); }},
        };
        for (const auto& c : cases) {
            World w;
            QVERIFY2(c.save(*w.session), c.name);
            QCOMPARE(w.reloads, 1);
            w.tick();
            QVERIFY2(w.reloads == 1, c.name);
        }
    }

    void aChangeDuringTheReadIsNotLost() {
        World w;
        auto watcher = std::make_unique<ScriptedWatcher>();
        ScriptedWatcher& watch = *watcher;
        w.session->setStoreWatcher(std::move(watcher));
        QCOMPARE(w.tick(), Ids{});
        QCOMPARE(w.reloads, 0); // nothing reported, nothing read
        // A sync tool writes just as the session starts reading.
        watch.onMarkRead = [&w] { writeFile(w.file, w.withDueAlert()); };
        watch.changed = true;
        QCOMPARE(w.tick(), Ids{7});
    }

    void anOpenEditorKeepsWhatWasTyped() {
        World w;
        frmMain window(*w.session, w.fakes.services);
        window.show();
        window.ListeAlertes();
        window.grid()->selectRow(0);
        window.cmdModify_Click();
        QTest::keyClicks(window.editor()->messageBox(), QStringLiteral(" encore"));

        replaceByRename(w.file, w.withDueAlert());
        QCOMPARE(w.tick(), Ids{7});
        QCOMPARE(window.grid()->gridModel().rowCount(), 2); // the grid under the editor follows
        QCOMPARE(window.editor()->mode(), AlertEditor::Mode::Modifying);
        QCOMPARE(window.editor()->messageBox()->message(), QStringLiteral("plus tard encore"));
        window.findChild<QPushButton*>(QStringLiteral("cmdAdd"))->click();
        const AlertTable stored = w.store->LoadAllAlerts().value();
        QCOMPARE(stored.AlertCount(), 2);
        QCOMPARE(stored.at(*stored.positionOf(1)).Message, std::string("plus tard encore"));
        QCOMPARE(stored.at(*stored.positionOf(7)).Message, std::string("ajout dehors"));
    }
};

ZENTO_QTEST_MAIN(tst_StoreWatcher)
#include "tst_StoreWatcher.moc"
