#include "app/CommandLine.h"
#include "app/DataLocation.h"
#include "app/QtSettingsStore.h"
#include "store/AlertStore.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

int listAlerts() {
    zento::QtSettingsStore settings;
    const zento::DataLocationResult where = zento::LocateData(settings, zento::systemEnvironment());
    if (!where.ok()) {
        std::cerr << where.error << '\n';
        return 1;
    }
    zento::StoreStatus status;
    const zento::AlertTable table = zento::AlertStore(where.location.IniPath).LoadAllAlerts(&status);
    if (!status.ok()) {
        std::cerr << "Impossible de lire les alertes : " << status.error << '\n';
        return 1;
    }
    std::cout << zento::FormatAlertList(table);
    return std::cout.good() ? 0 : 1;
}

} // namespace

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
    case zento::CommandLine::Command::List:
        return listAlerts();
    case zento::CommandLine::Command::Invalid:
        std::cerr << "zento : " << cl.error << "\n\n" << zento::UsageText();
        return 2;
    case zento::CommandLine::Command::Run:
        break;
    }
    std::cerr << "zento : l'interface n'est pas encore disponible\n";
    return 1;
}
