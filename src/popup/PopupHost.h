#pragma once

#include "store/AlertStore.h"
#include "store/AlertTable.h"

#include <QString>

#include <cstdint>
#include <string>

namespace zento {

class frmAlerte;

/// What a popup needs from the program that shows it (the main window): the store, the loaded
/// table, the due-alert timer and the grid. The popup keeps its own copies of the alert's values;
/// it asks the host only to write through the store and to re-arm the timer.
class PopupHost {
public:
    virtual ~PopupHost() = default;

    virtual AlertStore& store() = 0;
    virtual const AlertTable& table() const = 0;

    /// Rebuilds the table from the file and switches the due-alert timer on.
    virtual void LoadAllAlerts() = 0;
    /// Switches the due-alert timer on (after a snooze).
    virtual void enableTimer() = 0;
    /// A snooze changed the alert's date and time in the file: the same in the loaded table.
    virtual void snoozed(std::int32_t id, const std::string& alertDate, const std::string& alertTime) = 0;

    /// A popup came up or went; normal popups are tracked so that the timer never shows a
    /// second popup for an alert whose popup is still open.
    virtual void popupOpened(frmAlerte* popup) = 0;
    virtual void popupClosed(frmAlerte* popup) = 0;

    /// The folder holding the WAV files ("Wave" beside the program, or the installed one).
    virtual QString waveFolder() const = 0;
};

} // namespace zento
