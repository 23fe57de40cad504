#include "about/frmSplash.h"
#include "support/CoreFakes.h"
#include "support/QtTestMain.h"

#include <QLabel>
#include <QPointer>

#include <tuple>

using namespace zento;

class TestSplash : public QObject {
    Q_OBJECT

    test::FakeLauncher m_launcher;
    QPointer<frmSplash> m_window;

    template <class T = QWidget>
    T* child(const char* name) const {
        return m_window->findChild<T*>(QLatin1String(name));
    }

private Q_SLOTS:
    void init() {
        m_launcher.opened.clear();
        m_window = new frmSplash(m_launcher);
        m_window->showSplash();
    }
    void cleanup() { delete m_window.data(); }

    void everyTextFitsInsideItsPlace() {
        for (const QLabel* label : m_window->findChildren<QLabel*>()) {
            const QSize need = label->wordWrap()
                                   ? QSize(label->width(), label->heightForWidth(label->width()))
                                   : label->sizeHint();
            QVERIFY2(label->parentWidget()->rect().contains(label->geometry()) &&
                         label->width() >= need.width() && label->height() >= need.height(),
                     qPrintable(label->objectName()));
        }
        QVERIFY(child("Label6")->y() >= child("Frame1")->geometry().bottom()); // the link under the frame
        const QImage logo = child<QLabel>("imgLogo")->pixmap().toImage();
        QVERIFY(logo.pixelColor(logo.rect().center()).alpha() > 0); // drawn, not left transparent
        QVERIFY(!child("imgLogo")->accessibleName().isEmpty() &&
                !child("Label6")->accessibleName().isEmpty());
    }

    // The splash going by itself after three seconds, the program staying, is tested end to end.
    void theAboutCommandReusesTheSplashStillOpenAndStopsItsTimer() {
        QVERIFY(m_window->closesByItself() && !m_window->testAttribute(Qt::WA_QuitOnClose));
        frmSplash* const splash = m_window;
        QCOMPARE(frmSplash::openAbout(m_window, m_launcher), splash);
        QVERIFY(m_window->isVisible() && !m_window->closesByItself());
        // A window closed (deleted soon) is not reused: a fresh one, without timer from the start.
        QTest::keyClick(m_window, Qt::Key_Escape);
        frmSplash* const about = frmSplash::openAbout(m_window, m_launcher);
        QVERIFY(about != splash && about->isVisible() && !about->closesByItself());
    }

    void keysAndClicksOnTheFrameDismiss() {
        // A key, or (key 0) a click on a control or, without one, on the margin beside the frame.
        const std::tuple<int, const char*, bool> cases[] = {{Qt::Key_Return, nullptr, true},
                                                            {Qt::Key_Shift, nullptr, false},
                                                            {0, "Frame1", true},
                                                            {0, "imgLogo", true},
                                                            {0, nullptr, false}};
        for (const auto& [key, clickOn, closes] : cases) {
            if (!m_window)
                m_window = new frmSplash(m_launcher);
            m_window->showSplash();
            if (key)
                QTest::keyClick(m_window, Qt::Key(key));
            else if (clickOn)
                QTest::mouseClick(child(clickOn), Qt::LeftButton);
            else
                QTest::mouseClick(m_window, Qt::LeftButton, {}, QPoint(2, 2));
            QVERIFY2(m_window->isVisible() != closes, clickOn ? clickOn : "a key");
            if (closes)
                QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 500);
        }
        QVERIFY(m_launcher.opened.empty());
    }

    void linkOpensTheProductPageByClickOrKeyWithoutClosing() {
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QLabel* link = child<QLabel>("Label6");
        QCOMPARE(QApplication::focusWidget(), m_window.data()); // Enter closes until the user tabs
        const QString unfocused = link->text();
        QTest::keyClick(m_window, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), link);
        QVERIFY(link->text() != unfocused); // the focus shows
        QTest::keyClick(link, Qt::Key_Return);
        QTest::keyClick(link, Qt::Key_Space);
        QTest::mouseClick(link, Qt::LeftButton);
        QTest::mouseClick(link, Qt::RightButton);
        QCOMPARE(m_launcher.opened, std::vector<std::string>(3, frmSplash::ProductPageUrl));
        QVERIFY(m_window->isVisible() && m_window->closesByItself()); // no answer to the splash
        QTest::keyClick(link, Qt::Key_Escape);                        // any other key still closes
        QVERIFY(!m_window->isVisible());
    }
};

ZENTO_QTEST_MAIN(TestSplash)
#include "tst_frmSplash.moc"
