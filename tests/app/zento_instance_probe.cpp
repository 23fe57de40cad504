// A stand-in for a second Zento process, driven by tst_SingleInstance:
//
//   zento_instance_probe <folder>                  prints "primary" (then stays up, printing
//                                                  "activate"/"reload" for each message, until
//                                                  "quit" or the end of its input) or "secondary"
//   zento_instance_probe <folder> --crash          becomes primary and dies without cleaning up
//   zento_instance_probe <folder> --send activate|reload
//                                                  prints "sent" or "no answer"

#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using zento::SingleInstance;

namespace {

void say(const char* word) {
    std::printf("%s\n", word);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    const QString folder = args.at(1);
    const QString mode = args.value(2);

    if (mode == QLatin1String("--send")) {
        const auto m = args.value(3) == QLatin1String("reload") ? SingleInstance::Message::Reload
                                                                : SingleInstance::Message::Activate;
        const bool ok = SingleInstance::sendToRunningCopy(folder, m, 2000);
        say(ok ? "sent" : "no answer");
        return ok ? 0 : 1;
    }

    SingleInstance instance(folder);
    if (!instance.tryBecomePrimary()) {
        say("secondary");
        return 0;
    }
    say("primary");
    if (mode == QLatin1String("--crash"))
        std::_Exit(3); // no destructor runs: the lock and the socket file stay behind

    QObject::connect(&instance, &SingleInstance::activateRequested, [] { say("activate"); });
    QObject::connect(&instance, &SingleInstance::reloadRequested, [] { say("reload"); });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    std::string line;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char c = 0;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n <= 0) {
            app.quit();
            return;
        }
        if (c != '\n') {
            line += c;
            return;
        }
        if (line == "quit")
            app.quit();
        line.clear();
    });
    return app.exec();
}
