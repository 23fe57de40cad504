#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zento {

/// The ten fields of an alert, numbered as their keys Info1..Info10.
enum class AlertField : int {
    Message = 1,
    AlertDate,
    Recurrence,
    Emoticon,
    Sound,
    BackColor,
    ForeColor,
    AlertTime,
    LoopSound,
    Action,
};

/// One reminder as the store holds it: its identity and ten text fields, kept as text exactly
/// as read, so that a value the program cannot interpret is never altered by a reload.
struct Alerte {
    std::int32_t Id = 0;    ///< the number of its section "Alerte<Id>"
    std::string Message;    ///< Info1
    std::string AlertDate;  ///< Info2, dd/MM/yyyy
    std::string Recurrence; ///< Info3, 0 "Unique" .. 8 "Annuel"
    std::string Emoticon;   ///< Info4, 0..15
    std::string Sound;      ///< Info5, a file name in the Wave folder, empty for none
    std::string BackColor;  ///< Info6, colour value in decimal
    std::string ForeColor;  ///< Info7
    std::string AlertTime;  ///< Info8, HH:MM or empty for an all-day alert
    std::string LoopSound;  ///< Info9, "1" loop, "0" once
    std::string Action;     ///< Info10, file, web address or mailto link to open
    /// Key "UID": the iCalendar UID of the item an imported alert came from, so that importing
    /// the same file again adds nothing; empty for alerts made here.
    std::string Uid;

    static constexpr int kFieldCount = 10;

    /// Field k (1..10, the number of its key "Info<k>"); k must be in range.
    std::string& field(int k);
    const std::string& field(int k) const;

    std::string& field(AlertField f) { return field(static_cast<int>(f)); }
    const std::string& field(AlertField f) const { return field(static_cast<int>(f)); }

    /// "Info1" .. "Info10".
    static std::string keyOf(int k) { return "Info" + std::to_string(k); }
    /// "UID".
    static constexpr std::string_view kUidKey = "UID";
    /// "Alerte<Id>".
    static std::string sectionOf(std::int32_t id) { return "Alerte" + std::to_string(id); }

    bool operator==(const Alerte&) const = default;
};

/// Recurrence codes, the positions in the editor's recurrence list.
enum class Recurrence : int {
    Unique = 0,
    Journalier = 1,
    Hebdomadaire = 2,
    DeuxSemaines = 3,
    Mensuel = 4,
    DeuxMois = 5,
    Trimestriel = 6,
    Semestriel = 7,
    Annuel = 8,
};

/// The file name of the sound a new alert gets, in the sound folder.
constexpr std::string_view kDefaultSound = "Defaut.wav";

/// The texts of the recurrence list, in code order.
constexpr std::array<std::string_view, 9> kRecurrenceNames = {"Unique",          "Journalier", "Hebdomadaire",
                                                              "1 semaine sur 2", "Mensuel",    "1 mois sur 2",
                                                              "Trimestriel",     "Semestriel", "Annuel"};

} // namespace zento
