#include "editor/AlarmGrid.h"
#include "editor/AlertEditor.h"
#include "editor/MessageTextBox.h"
#include "editor/frmMain.h"
#include "media/SoundPreview.h"
#include "session/Session.h"
#include "support/FakeServices.h"
#include "support/QtTestMain.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <memory>

using namespace zento;
using namespace std::chrono;
using zento::test::TempDir;

namespace {

std::string section(int id, const char* message, const char* sound, const char* loop) {
    return "[Alerte" + std::to_string(id) + "]\r\nInfo1=" + message + "\r\nInfo2=0" + std::to_string(id) +
           "/12/2026\r\nInfo3=0\r\nInfo4=5\r\nInfo5=" + sound +
           "\r\nInfo6=16777215\r\nInfo7=0\r\nInfo8=\r\nInfo9=" + loop + "\r\nInfo10=\r\n";
}

/// The main window, shown and active, on two alerts: "premier" with a looping sound, "second"
/// with a sound played once.
struct Window {
    TempDir dir;
    AlertStore store{dir / "Alertes.ini"};
    test::FakeServices fakes;
    std::unique_ptr<Session> session;
    std::unique_ptr<frmMain> main;

    Window() {
        test::writeFile(store.IniPath(),
                        section(1, "premier", "Carillon.wav", "1") + section(2, "second", "Reveil.wav", "0"));
        fakes.clock.set(Date{year{2026}, December, day{7}}, hours{10});
        session = std::make_unique<Session>(store, fakes.clock, fakes.random);
        main = std::make_unique<frmMain>(*session, fakes.services);
        session->LoadAllAlerts();
        main->ListeAlertes();
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
    }
    template <typename T = QAbstractButton>
    T* find(const char* name) const {
        return main->findChild<T*>(QString::fromLatin1(name));
    }
    void click(const char* name) { find(name)->click(); }
    AlertEditor* editor() const { return main->editor(); }
    MessageTextBox* message() const { return editor()->messageBox(); }
    /// Opens the alert of that grid row for modification, as a user does.
    void modify(int row) {
        main->grid()->selectRow(row);
        click("cmdModify");
    }
    /// The messages in the store now, in its order.
    std::vector<std::string> stored() const {
        std::vector<std::string> out;
        const AlertTable table = store.LoadAllAlerts().value();
        for (int i = 1; i <= table.AlertCount(); ++i)
            out.push_back(table.at(i).Message);
        return out;
    }
};

/// Sends a key to whatever has the keyboard, as the user's key would go.
void press(int key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
}

} // namespace

class tst_EditorReliability final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theKeyboardStaysInTheOpenEditor() {
        for (const int key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            Window w;
            w.modify(0);
            QTest::keyClicks(w.message(), QStringLiteral(" modifie"));
            for (int i = 0; i < 40; ++i) {
                press(key);
                QWidget* focus = QApplication::focusWidget();
                QVERIFY2(w.editor()->isAncestorOf(focus),
                         qPrintable(QStringLiteral("Tab %1 reached %2").arg(i + 1).arg(focus->objectName())));
            }
            QCOMPARE(w.message()->message(), QStringLiteral("premier modifie"));
        }
    }

    void theGridUnderTheEditorOpensNothing() {
        Window w;
        w.modify(0);
        QTest::keyClicks(w.message(), QStringLiteral(" modifie"));
        // A wide window shows the grid beside the editor: a click there does not reach it.
        w.main->resize(w.main->width() + 400, w.main->height());
        QTRY_VERIFY(w.main->grid()->width() > 400);
        const QRect editor(w.editor()->mapTo(w.main.get(), QPoint(0, 0)), w.editor()->size());
        const QPoint beside(editor.right() + 100, editor.center().y());
        QTest::mouseClick(w.main->windowHandle(), Qt::LeftButton, {}, beside);
        QVERIFY(w.editor()->isAncestorOf(QApplication::focusWidget()));
        // Keys that reach the grid anyway (Down to the other alert, Enter) open nothing.
        QTest::keyClick(w.main->grid(), Qt::Key_Down);
        QTest::keyClick(w.main->grid(), Qt::Key_Return);
        QCOMPARE(w.message()->message(), QStringLiteral("premier modifie"));
        w.click("cmdAdd");
        QCOMPARE(w.stored(), (std::vector<std::string>{"premier modifie", "second"}));
        // Once the editor is closed the grid takes the keyboard again.
        w.main->grid()->setFocus();
        w.main->grid()->selectRow(1);
        QTest::keyClick(w.main->grid(), Qt::Key_Return);
        QCOMPARE(w.editor()->mode(), AlertEditor::Mode::Modifying);
        QCOMPARE(w.message()->message(), QStringLiteral("second"));
    }

    void enterInTheMessageBoxSaves() {
        const struct {
            const char* name;
            bool modifying;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            bool saves;
        } cases[] = {
            {"Return on a new alert", false, Qt::Key_Return, {}, true},
            {"keypad Enter on a changed alert", true, Qt::Key_Enter, Qt::KeypadModifier, true},
            {"Shift+Return", true, Qt::Key_Return, Qt::ShiftModifier, false},
        };
        for (const auto& c : cases) {
            Window w;
            if (c.modifying)
                w.modify(0);
            else
                w.click("cmdNew");
            QTest::keyClicks(w.message(), QStringLiteral("texte"));
            const QString typed = w.message()->message();
            QTest::keyClick(w.message(), c.key, c.modifiers);
            QVERIFY2(w.message()->message() == typed || c.saves, c.name); // never a line break
            QCOMPARE(w.editor()->mode() == AlertEditor::Mode::List, c.saves);
            const auto stored = w.stored();
            QVERIFY2((std::find(stored.begin(), stored.end(), typed.toStdString()) != stored.end()) ==
                         c.saves,
                     c.name);
        }
    }

    void leavingTheEditorStopsALoopingPreview() {
        const struct {
            const char* name;
            std::function<void(Window&)> leave;
        } ways[] = {
            {"the loop box unticked", [](Window& w) { w.click("chkReveil"); }},
            {"Popup + son chosen again", [](Window& w) { w.click("optAlert_1"); }},
            {"Popup chosen", [](Window& w) { w.click("optAlert_0"); }},
            {"Annuler then Nouveau",
             [](Window& w) {
                 w.click("cmdUndoNew_0");
                 w.click("cmdNew");
             }},
            {"Annuler then another alert",
             [](Window& w) {
                 w.click("cmdUndoNew_0");
                 w.modify(1);
             }},
            {"the window hidden", [](Window& w) { w.main->hide(); }},
            {"the window minimised", [](Window& w) { w.main->showMinimized(); }},
        };
        for (const auto& way : ways) {
            Window w;
            w.modify(0);
            w.click("imgPlay");
            QVERIFY(w.fakes.sound.playing && w.fakes.sound.plays.back().loop);
            QVERIFY(w.editor()->preview()->isPlayingLook());
            way.leave(w);
            QVERIFY2(!w.fakes.sound.playing, way.name);
            QVERIFY2(!w.editor()->preview()->isPreviewing(), way.name);
            QVERIFY2(!w.editor()->preview()->isPlayingLook() && w.editor()->imgStop()->isHidden(), way.name);
        }
    }

    void aPopupsSoundOutlivesTheEditor() {
        // Only the preview is stopped: a sound the editor did not start goes on.
        Window w;
        w.modify(0);
        w.fakes.sound.PlaySoundFile("popup.wav", true);
        w.click("chkReveil");
        w.click("optAlert_1");
        w.click("cmdUndoNew_0");
        w.main->hide();
        QVERIFY(w.fakes.sound.playing);
    }
};

ZENTO_QTEST_MAIN(tst_EditorReliability)
#include "tst_EditorReliability.moc"
