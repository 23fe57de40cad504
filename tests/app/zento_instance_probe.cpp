// A stand-in for another Zento process, driven by tst_SingleInstance:
//
//   zento_instance_probe <folder>   prints "primary" (then "activate" for each request, until
//                                   "quit" or the end of its input) or "secondary"

#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
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
    if (argc < 2)
        return 2;
    SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    if (!instance.tryBecomePrimary()) {
        say("secondary");
        return 0;
    }
    say("primary");
    QObject::connect(&instance, &SingleInstance::activateRequested, [] { say("activate"); });

    // Any input ends it ("quit"), and so does the end of the input.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    return app.exec();
}
