#include "app/Application.h"

#include <QCoreApplication>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const zento::CommandLine cl = zento::ParseCommandLine(args);
    switch (cl.command) {
    case zento::CommandLine::Command::Help:
        std::cout << zento::UsageText();
        return 0;
    case zento::CommandLine::Command::Version:
        std::cout << zento::VersionText() << '\n';
        return 0;
    case zento::CommandLine::Command::List: {
        // No display is needed for these: a core application is enough to find the program's folder.
        QCoreApplication app(argc, argv);
        return zento::runListCommand();
    }
    case zento::CommandLine::Command::Add: {
        QCoreApplication app(argc, argv);
        return zento::runAddCommand(cl.add);
    }
    case zento::CommandLine::Command::Delete: {
        QCoreApplication app(argc, argv);
        return zento::runDeleteCommand(cl.deleteId);
    }
    case zento::CommandLine::Command::Export: {
        QCoreApplication app(argc, argv);
        return zento::runExportCommand(cl.file);
    }
    case zento::CommandLine::Command::Import: {
        QCoreApplication app(argc, argv);
        return zento::runImportCommand(cl.file, cl.withActions);
    }
    case zento::CommandLine::Command::Invalid:
        // Qt's own options (-platform, -style, …) are left to the toolkit.
        if (!args.empty() && args.front().rfind("--", 0) != 0)
            break;
        std::cerr << "zento : " << cl.error << "\n\n" << zento::UsageText();
        return 2;
    case zento::CommandLine::Command::Show:
    case zento::CommandLine::Command::NewAlert:
        // The program starts as usual (or tells the running copy); the toolkit must not see our
        // option, so the program's name takes its place.
        argv[1] = argv[0];
        --argc;
        return zento::runApplication(argc, ++argv, cl.command);
    case zento::CommandLine::Command::Run:
        break;
    }
    return zento::runApplication(argc, argv);
}
