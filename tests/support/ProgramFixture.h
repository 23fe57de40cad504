#pragma once

#include "editor/AlarmGrid.h"
#include "editor/AlertEditor.h"
#include "editor/MessageTextBox.h"
#include "editor/frmMain.h"
#include "popup/frmAlerte.h"
#include "session/Session.h"
#include "support/FakeServices.h"
#include "support/TestEnvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>

#include <filesystem>
#include <memory>
#include <string_view>

namespace zento::test {

inline const QString kReadOnly = "Impossible d'enregistrer l'alerte : le fichier est en lecture seule";

inline QString fields(const Alerte& a) {
    QStringList out;
    for (int k = 1; k <= Alerte::kFieldCount; ++k)
        out << QString::fromStdString(a.field(k));
    return out.join(QLatin1Char('|'));
}

/// The program's session and main window on a private store holding `content`, wired as
/// start-up does: the session's due alerts pop up, and are kept in `due` in the order shown.
/// Today is 7 December 2026, 10:00.
struct Program {
    TempDir dir;
    std::filesystem::path ini = dir / "Alertes.ini";
    AlertStore store{ini};
    FakeServices fakes;
    std::unique_ptr<Session> session;
    std::unique_ptr<frmMain> main;
    QList<QPointer<frmAlerte>> due;

    explicit Program(const std::string& content = {}, bool show = true) {
        if (!content.empty())
            writeFile(ini, content);
        fakes.clock.set(Date{std::chrono::year{2026}, std::chrono::month{12}, std::chrono::day{7}},
                        std::chrono::hours{10});
        session = std::make_unique<Session>(store, fakes.clock, fakes.random);
        main = std::make_unique<frmMain>(*session, fakes.services);
        QObject::connect(session.get(), &Session::alertDue, main.get(), [this](const Alerte& a) {
            due << ShowAlertPopup(*session, fakes.services, a, false);
        });
        session->LoadAllAlerts();
        main->ListeAlertes();
        if (show)
            main->show();
    }
    ~Program() {
        // Popups go before the session they answer to.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<frmAlerte*>(w))
                delete w;
    }

    template <typename T = QAbstractButton>
    T* find(const char* name) const {
        T* w = main->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    void click(const char* name) const { find(name)->click(); }
    QString path(const char* name) const { return QString::fromStdString((dir / name).string()); }
    AlertEditor* editor() const { return main->editor(); }
    MessageTextBox* message() const { return editor()->messageBox(); }
    QStringList messages() const {
        QStringList out;
        for (int r = 0; r < main->grid()->gridModel().rowCount(); ++r)
            out << main->grid()->gridModel().index(r, AlarmGridModel::ColMessage).data().toString();
        return out;
    }
    /// Makes the grid row showing that message current, as a click on it would.
    void pick(const QString& msg) const {
        main->grid()->selectRow(static_cast<int>(messages().indexOf(msg)));
    }
    QStringList shown() const {
        QStringList out;
        for (const auto& s : fakes.dialogs.shown)
            out << s.text;
        return out;
    }
    const Alerte* storedAlert(int id) const {
        const auto p = session->table().positionOf(id);
        return p ? &session->table().at(*p) : nullptr;
    }
};

} // namespace zento::test
