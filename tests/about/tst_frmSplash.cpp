#include "about/frmSplash.h"
#include "ui/Twips.h"
#include "support/FakeServices.h"
#include "support/QtTestMain.h"

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QTextDocumentFragment>
#include <QTimer>

using namespace zento;

namespace {

QString plainText(const QLabel* label) {
    return QTextDocumentFragment::fromHtml(label->text()).toPlainText();
}

} // namespace

class TestSplash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void textsAndVersion();
    void everyTextFitsItsPlace();
    void splashClosesByItselfWithoutEndingTheProgram();
    void keysAndClicksDismiss_data();
    void keysAndClicksDismiss();
    void aboutStaysPastItsTimer();
    void linkOpensTheProductPage();
    void linkWorksFromTheKeyboard();
    void aboutReusesTheOpenSplash();

private:
    template <class T>
    T* child(const char* name) const {
        T* c = m_window->findChild<T*>(QString::fromLatin1(name));
        if (!c)
            qFatal("no control %s", name);
        return c;
    }
    /// Shortens Timer1, as if its three seconds had almost passed.
    void shortenTimer(int ms) const { child<QTimer>("Timer1")->setInterval(ms); }
    void showActive() {
        m_window->showSplash();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }

    test::FakeLauncher m_launcher;
    QPointer<frmSplash> m_window;
};

void TestSplash::init() {
    m_launcher.opened.clear();
    m_window = new frmSplash(m_launcher);
}

void TestSplash::cleanup() {
    delete m_window.data();
}

void TestSplash::textsAndVersion() {
    QCOMPARE(child<QLabel>("lblCompanyProduct")->text(), QStringLiteral("Olvani"));
    QCOMPARE(child<QLabel>("lblProductName")->text(), QStringLiteral("Zento"));
    QCOMPARE(child<QLabel>("lblVersion")->text(), QStringLiteral("Version " ZENTO_VERSION));
    QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral("Votre pense bête pour gérer vos rappels"));
    QCOMPARE(plainText(child<QLabel>("Label6")), QString::fromLatin1(frmSplash::MakerWebAddress));

    const QLabel* logo = child<QLabel>("imgLogo");
    const QPixmap picture = logo->pixmap();
    QVERIFY(!picture.isNull());
    QVERIFY(picture.deviceIndependentSize().width() >= 32);
    QVERIFY(!logo->accessibleName().isEmpty());
    QVERIFY(!child<QLabel>("Label6")->accessibleName().isEmpty());
    QVERIFY(m_window->closesByItself()); // armed from the start
}

void TestSplash::everyTextFitsItsPlace() {
    m_window->showSplash();
    const QFrame* frame = child<QFrame>("Frame1");
    QCOMPARE(frame->geometry(), twips::rect(150, 60, 5616, 3672));
    for (const char* name : {"lblCompanyProduct", "lblProductName", "lblVersion", "Label1", "imgLogo"}) {
        const QLabel* label = child<QLabel>(name);
        QCOMPARE(label->parentWidget(), frame);
        QVERIFY2(frame->rect().contains(label->geometry()), name);
        // Nothing is cut: the label is at least as large as its text needs.
        const QSize need = label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width()))
                                             : label->sizeHint();
        QVERIFY2(label->width() >= need.width() && label->height() >= need.height(), name);
    }
    // The version text ends where it did, right-aligned, whatever its length.
    const QLabel* version = child<QLabel>("lblVersion");
    QVERIFY(version->alignment() & Qt::AlignRight);
    QVERIFY(version->x() <= twips::px(4380));

    const QLabel* link = child<QLabel>("Label6");
    QVERIFY(link->geometry().top() >= frame->geometry().bottom() - 1); // below the frame
    QVERIFY(m_window->rect().contains(link->geometry()));
    QVERIFY(link->width() >= link->sizeHint().width());
    QVERIFY(qAbs(link->geometry().center().x() - twips::rect(360, 3720, 5175, 255).center().x()) <= 1);
}

void TestSplash::splashClosesByItselfWithoutEndingTheProgram() {
    // The application only reports its last window closing inside its event loop, which tests do
    // not run: check the flag that keeps the closing splash from ending a program whose main
    // window is hidden in the notification area.
    QVERIFY(!m_window->testAttribute(Qt::WA_QuitOnClose));
    shortenTimer(30);
    m_window->showSplash();
    QVERIFY(m_window->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 1000);
}

void TestSplash::keysAndClicksDismiss_data() {
    QTest::addColumn<int>("key");         // 0: a click instead
    QTest::addColumn<QString>("clickOn"); // control clicked, "" for the window's margin
    QTest::addColumn<bool>("closes");

    QTest::newRow("letter") << int(Qt::Key_A) << QString() << true;
    QTest::newRow("escape") << int(Qt::Key_Escape) << QString() << true;
    QTest::newRow("enter") << int(Qt::Key_Return) << QString() << true;
    QTest::newRow("space") << int(Qt::Key_Space) << QString() << true;
    QTest::newRow("shift alone") << int(Qt::Key_Shift) << QString() << false;
    QTest::newRow("alt alone") << int(Qt::Key_Alt) << QString() << false;
    QTest::newRow("click on the frame") << 0 << QStringLiteral("Frame1") << true;
    QTest::newRow("click on the name") << 0 << QStringLiteral("lblProductName") << true;
    QTest::newRow("click on the logo") << 0 << QStringLiteral("imgLogo") << true;
    QTest::newRow("click beside the frame") << 0 << QString() << false;
}

void TestSplash::keysAndClicksDismiss() {
    QFETCH(int, key);
    QFETCH(QString, clickOn);
    QFETCH(bool, closes);
    for (const bool about : {false, true}) {
        if (!m_window)
            m_window = new frmSplash(m_launcher);
        if (about)
            frmSplash::openAbout(m_window, m_launcher);
        else
            m_window->showSplash();
        if (key != 0) {
            QTest::keyClick(m_window, Qt::Key(key));
        } else if (clickOn.isEmpty()) {
            QTest::mouseClick(m_window, Qt::LeftButton, {}, QPoint(2, 2));
        } else {
            QWidget* target = m_window->findChild<QWidget*>(clickOn);
            QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
        }
        QCOMPARE(!m_window->isVisible(), closes);
        if (closes)
            QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 500);
        QVERIFY(m_launcher.opened.empty());
    }
}

void TestSplash::aboutStaysPastItsTimer() {
    shortenTimer(20);
    QCOMPARE(frmSplash::openAbout(m_window, m_launcher), m_window.data());
    QVERIFY(!m_window->closesByItself());
    QTest::qWait(100);
    QVERIFY(m_window && m_window->isVisible());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("A propos de Zento"));
    QTest::keyClick(m_window, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 500);
}

void TestSplash::linkOpensTheProductPage() {
    m_window->showSplash();
    QLabel* link = child<QLabel>("Label6");
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    QCOMPARE(m_launcher.opened, std::vector<std::string>{frmSplash::ProductPageUrl});
    QVERIFY(m_window->isVisible());
    QVERIFY(m_window->closesByItself()); // a click on the link is no answer to the splash
    QTest::mouseClick(link, Qt::RightButton, {}, link->rect().center());
    QCOMPARE(m_launcher.opened.size(), std::size_t(1));
}

void TestSplash::linkWorksFromTheKeyboard() {
    showActive();
    QLabel* link = child<QLabel>("Label6");
    QCOMPARE(QApplication::focusWidget(), m_window.data()); // Enter closes until the user tabs
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), link);
    QVERIFY(link->text().contains(QStringLiteral("background-color"))); // the focus shows
    QTest::keyClick(link, Qt::Key_Return);
    QTest::keyClick(link, Qt::Key_Space);
    QCOMPARE(m_launcher.opened.size(), std::size_t(2));
    QCOMPARE(m_launcher.opened.front(), std::string(frmSplash::ProductPageUrl));
    QVERIFY(m_window->isVisible());

    QTest::keyClick(link, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_window.data());
    QVERIFY(!link->text().contains(QStringLiteral("background-color")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(link, Qt::Key_Escape); // any other key on the link still closes
    QVERIFY(!m_window->isVisible());
}

void TestSplash::aboutReusesTheOpenSplash() {
    m_window->showSplash();
    shortenTimer(30);
    frmSplash* const splash = m_window;
    QCOMPARE(frmSplash::openAbout(m_window, m_launcher), splash);
    QCOMPARE(m_window.data(), splash);
    QVERIFY(!m_window->closesByItself());
    QTest::qWait(100);
    QVERIFY(m_window && m_window->isVisible());

    // Once closed, the next About command loads a fresh window, its timer off from the start.
    QTest::mouseClick(child<QFrame>("Frame1"), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!m_window->isVisible());
    frmSplash* const about = frmSplash::openAbout(m_window, m_launcher);
    QVERIFY(about->isVisible());
    QVERIFY(!about->closesByItself());
    QVERIFY(about != splash);
    QCOMPARE(m_window.data(), about);
}

ZENTO_QTEST_MAIN(TestSplash)
#include "tst_frmSplash.moc"
