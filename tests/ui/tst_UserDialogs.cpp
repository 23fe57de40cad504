#include "ui/UserDialogs.h"
#include "support/QtTestMain.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

using zento::QtUserDialogs;

class tst_UserDialogs final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void messageBoxesShowTheTextAsWrittenWithFrenchButtons_data() {
        QTest::addColumn<bool>("question");
        QTest::addColumn<QString>("click");
        QTest::addColumn<bool>("answer");
        QTest::newRow("message") << false << "OK" << false;
        QTest::newRow("question, Oui") << true << "&Oui" << true;
        QTest::newRow("question, Non") << true << "&Non" << false;
    }

    void messageBoxesShowTheTextAsWrittenWithFrenchButtons() {
        // No Qt translation is loaded here: the buttons must read French all the same. The text
        // is the user's, markup included, and must not be read as markup.
        QFETCH(bool, question);
        QFETCH(QString, click);
        QFETCH(bool, answer);
        const QString text = QStringLiteral("Supprimer <b>Réunion</b> & <i>café</i> ?");
        QStringList buttons;
        QString shown;
        Qt::TextFormat format = Qt::RichText;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
                shown = label->text();
                format = label->textFormat();
            }
            QAbstractButton* chosen = nullptr;
            for (QAbstractButton* b : box->buttons()) {
                buttons << b->text();
                if (b->text() == click)
                    chosen = b;
            }
            chosen ? chosen->click() : box->reject(); // never left open
        });
        QtUserDialogs real;
        zento::UserDialogs& dialogs = real;
        if (question)
            QCOMPARE(dialogs.ask(nullptr, text), answer);
        else
            dialogs.message(nullptr, text, zento::UserDialogs::Icon::Information);
        QCOMPARE(shown, text);
        QCOMPARE(format, Qt::PlainText);
        buttons.sort();
        QCOMPARE(buttons, question ? QStringList({"&Non", "&Oui"}) : QStringList({"OK"}));
    }
};

ZENTO_QTEST_MAIN(tst_UserDialogs)
#include "tst_UserDialogs.moc"
