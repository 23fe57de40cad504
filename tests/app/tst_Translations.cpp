#include "app/Translations.h"
#include "support/QtTestMain.h"

#include <QLocale>

class tst_Translations final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void qtsOwnButtonsSpeakFrench() {
        // The machine's locale is C here: the French texts must come from Qt's translation.
        QVERIFY(zento::installFrenchTranslations(*QCoreApplication::instance()));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&No"), QStringLiteral("&Non"));
        QCOMPARE(QLocale().language(), QLocale::French);
    }
};

ZENTO_QTEST_MAIN(tst_Translations)
#include "tst_Translations.moc"
