#include "BenchStore.h"
#include "appearance/RandomSource.h"
#include "editor/AlarmGrid.h"
#include "editor/AlertEditor.h"
#include "editor/MessageTextBox.h"
#include "editor/frmMain.h"
#include "media/ActionLauncher.h"
#include "media/SoundOutput.h"
#include "schedule/Clock.h"
#include "session/Session.h"
#include "store/AlertStore.h"
#include "ui/Services.h"
#include "ui/Twips.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QEvent>
#include <QStyleFactory>

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

namespace {
namespace fs = std::filesystem;
using namespace zento;
using namespace std::chrono;

/// The services of the window: a fixed day, no sound, no shell, and dialogs that only count what
/// they were asked, so that a refusal shows up as an error instead of waiting for a user.
struct BenchServices {
    struct FixedClock final : Clock {
        LocalTime current = AtTime(Date{year{2026}, month{12}, day{7}}, hours{10});
        LocalTime now() const override { return current; }
    } clock;
    struct HalfRandom final : RandomSource {
        double NextUniform() override { return 0.5; }
    } random;
    struct CountingDialogs final : UserDialogs {
        int shown = 0;
        void message(QWidget*, const QString&, Icon) override { ++shown; }
        bool ask(QWidget*, const QString&, Icon, bool) override { return ++shown, false; }
        std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return std::nullopt; }
        std::optional<QString> chooseFileToOpen(QWidget*, const QString&, const QString&) override {
            return std::nullopt;
        }
        std::optional<QString> chooseFileToSave(QWidget*, const QString&, const QString&, const QString&) override {
            return std::nullopt;
        }
        QAction* popupMenu(QMenu*, const QPoint&) override { return nullptr; }
    } dialogs;
    struct Silence final : SoundOutput {
        void PlaySoundFile(const std::string&, bool) override {}
        void StopSound() override {}
    } sound;
    struct NoShell final : ActionLauncher {
        void OpenAction(const std::string&) override {}
    } launcher;
    Services services{clock, random, dialogs, sound, launcher};
};

/// Counts the paints of a widget, to make sure each measured refill was also drawn.
class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

/// What the user waits for after a refill: the view's deferred layout, then its paint. The
/// layout is posted while the first pass runs, hence the second.
void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// The grid refilled from a loaded table, shown at its size in the main window.
void BM_GridRefill(benchmark::State& state) {
    const auto loaded = AlertStore(bench::storeOf(static_cast<int>(state.range(0)))).LoadAllAlerts();
    if (!loaded) {
        state.SkipWithError("the store cannot be read");
        return;
    }
    const AlertTable& table = *loaded;
    AlarmGrid grid;
    grid.resize(twips::size(6372, 4332));
    PaintCounter counter;
    grid.viewport()->installEventFilter(&counter);
    grid.show();
    grid.ListeAlertes(table);
    settle();
    counter.paints = 0;
    for (auto _ : state) {
        grid.ListeAlertes(table);
        settle();
    }
    if (grid.gridModel().rowCount() != table.AlertCount())
        state.SkipWithError("the grid does not list every alert");
    state.counters["paints/iter"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_GridRefill)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// "Nouveau", a message, "Ajouter": the free Id is looked for, the alert written, the table
// reloaded and the grid refilled, with the window shown.
void BM_AddAlert(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const fs::path ini = bench::benchFolder() / ("add-" + std::to_string(n) + ".ini");
    fs::copy_file(bench::storeOf(n), ini, fs::copy_options::overwrite_existing);
    AlertStore store(ini);
    BenchServices fakes;
    Session session(store, fakes.clock, fakes.random);
    frmMain window(session, fakes.services);
    session.LoadAllAlerts();
    window.ListeAlertes();
    window.show();
    settle();
    int added = 0;
    for (auto _ : state) {
        window.cmdNew_Click();
        window.editor()->messageBox()->setMessage(QStringLiteral("Appeler le garage %1").arg(++added));
        window.cmdAdd_Click();
        // The new alerts fall due today: keep their popups out of the measurement.
        session.Timer1().stop();
        settle();
    }
    if (session.table().AlertCount() != n + added || fakes.dialogs.shown != 0)
        state.SkipWithError("an alert was not added");
}
BENCHMARK(BM_AddAlert)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("ZENTO_WAVE_DIR"))
        qputenv("ZENTO_WAVE_DIR", ZENTO_BENCH_WAVE_DIR);
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::removeBenchFolder();
    return 0;
}
