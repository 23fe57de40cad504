#include "support/QtTestMain.h"
#include "ui/UserDialogs.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

using zento::QtUserDialogs;

class tst_UserDialogs final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void messageBoxesShowTheTextAsWrittenWithFrenchButtons() {
        // No Qt translation is loaded here: the buttons must read French all the same. The text
        // is the user's, markup included, and must not be read as markup.
        const QString text = QStringLiteral("Supprimer <b>Réunion</b> & <i>café</i> ?");
        for (const auto& [question, click, answer] :
             {std::tuple{false, "OK", false}, std::tuple{true, "&Oui", true},
              std::tuple{true, "&Non", false}}) {
            QStringList buttons;
            QString shown;
            Qt::TextFormat format = Qt::RichText;
            QTimer::singleShot(0, this, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box)
                    return;
                shown = box->text();
                format = box->textFormat();
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
    }
};

ZENTO_QTEST_MAIN(tst_UserDialogs)
#include "tst_UserDialogs.moc"
