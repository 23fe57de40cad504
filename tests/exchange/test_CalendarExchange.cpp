#include "exchange/CalendarExport.h"
#include "exchange/CalendarImport.h"
#include "store/TextEncoding.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace zento;
using namespace std::chrono;

namespace {

/// Every test runs in Paris time: far from UTC, with summer time.
class Exchange : public ::testing::Test {
protected:
    void SetUp() override { test::setTimeZone("Europe/Paris"); }
    void TearDown() override { test::setTimeZone("UTC"); }

    /// A new alert of the store has recognisable values.
    static ImportOptions options(bool actions = false) {
        static const Alerte fresh{0, "", "", "", "5", "Defaut.wav", "12632319", "255", "", "0", "", ""};
        return {actions, {}, [] { return fresh; }};
    }
    /// What an import of the items plans on Monday 4 January 2027 at noon, from a calendar whose
    /// lines end in CR LF as the standard has them.
    static Result<ImportPlan> planNow(std::string_view items, bool actions = false) {
        std::string text = "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Test//Test//EN\n" + std::string(items) +
                           "END:VCALENDAR\n";
        for (std::size_t i = 0; (i = text.find('\n', i)) != std::string::npos; i += 2)
            text.insert(i, 1, '\r');
        return PlanImport(text, local_days{2027y / 1 / 4} + 12h, options(actions));
    }
};

/// An alert whose every field varies with its Id.
Alerte alert(int id, std::string message, std::string date, std::string time, int recurrence) {
    const std::string sound = id % 3 ? "Carillon " + std::to_string(id) + ".wav" : "";
    const std::string color = std::to_string(1000 * id);
    const std::string action = id % 4 == 1 ? "https://exemple.fr/a?b=1;c=2,d\\e" : "";
    const char* back = id % 2 ? "&H0080FFFF&" : "0";
    const char* loop = id % 2 ? "1" : "0";
    return {
        id,   message, date, std::to_string(recurrence), std::to_string(id % 16), sound, color, back, time,
        loop, action,  ""};
}

TEST_F(Exchange, ExportThenImportGivesTheSameAlerts) {
    std::vector<Alerte> store = {
        alert(1, "Rendez-vous chez le dentiste", "12/01/2027", "09:30", 0),
        alert(2, "Café à 9 h — réunion « budget »", "13/01/2027", "", 1),
        alert(3, "会議 🎉 Ωmega, avec une virgule; et un point-virgule", "14/01/2027", "23:59", 2),
        alert(4, "Poubelles", "15/01/2027", "07:05", 3),
        alert(5, "Loyer", "31/01/2027", "08:00", 4),     // clamped in February, then kept
        alert(6, "Facture", "30/04/2027", "", 5),        // meets February
        alert(7, "Chaudière", "31/03/2027", "10:00", 6), // meets June
        alert(8, "Assurance", "31/01/2027", "", 7),      // January and July: exact
        alert(9, "Anniversaire", "29/02/2028", "", 8),
        alert(10, "Fête", "31/12/2027", "", 8),
        alert(11, "Courses", "28/02/2027", "18:00", 4), // clamped already: exact from now on
        alert(12, std::string(300, 'x') + " long message " + std::string(200, 'y'), "16/01/2027", "12:00", 0),
    };
    store[2].Uid = "venu-d-ailleurs@example.com";
    const ExportOptions eo{"host:/home/anna/.local/share/Zento/Alertes.ini", sys_days{2027y / 1 / 1}};
    const CalendarExport out = ExportCalendar(store, eo);

    EXPECT_EQ(out.approximate, (std::vector{store[4], store[5], store[6], store[8]}));
    EXPECT_TRUE(out.leftOut.empty());
    EXPECT_EQ(ExportCalendar({alert(13, "x", "01/01/3001", "", 0)}, eo).leftOut.size(), 1u); // beyond libical
    std::istringstream lines(out.text);
    for (std::string line; std::getline(lines, line);)
        EXPECT_TRUE(line.ends_with('\r') && line.size() <= 76 && isValidUtf8(line)) << line;

    const auto plan = PlanImport(out.text, local_days{2027y / 1 / 1} + 10h, options(true));
    ASSERT_TRUE(plan.ok()) << plan.error().detail;
    const std::vector<std::string> uids = ExportUids(store, eo.storeKey);
    std::vector<Alerte> expected = store;
    for (std::size_t i = 0; i < expected.size(); ++i)
        std::tie(expected[i].Id, expected[i].Uid) = std::pair(0, uids[i]);
    EXPECT_EQ(plan->alerts, expected);
    EXPECT_TRUE(plan->notes.empty());

    // Later, a recurring alert moves on by its own steps: the rent stays on the 28th after
    // February, where the written rule alone would go back to the 31st.
    const auto later = PlanImport(out.text, local_days{2027y / 3 / 15} + 12h, options(true));
    ASSERT_TRUE(later.ok());
    EXPECT_EQ(later->pastCount, 2); // the dentist and the long message
    EXPECT_EQ(later->alerts.at(3).Message + " " + later->alerts.at(3).AlertDate, "Loyer 28/03/2027");
}

TEST_F(Exchange, UidsAreStableAndUniqueWithinAFile) {
    std::vector<Alerte> alerts = {alert(3, "a", "12/01/2027", "", 0), alert(4, "b", "12/01/2027", "", 0),
                                  alert(7, "c", "12/01/2027", "", 0), alert(8, "d", "12/01/2027", "", 0)};
    const auto first = ExportUids(alerts, "store A");
    alerts[1].Message = "changed";
    EXPECT_EQ(ExportUids(alerts, "store A"), first);
    EXPECT_NE(ExportUids(alerts, "store B")[0], first[0]);
    // Alert 7 came from the export of alert 3 and keeps that UID; alert 3 gives way. Two
    // alerts imported under one UID get two.
    alerts[2].Uid = first[0];
    alerts[1].Uid = alerts[3].Uid = "x@y";
    const auto mixed = ExportUids(alerts, "store A");
    EXPECT_EQ(mixed[1] + " " + mixed[2], "x@y " + first[0]);
    EXPECT_EQ(std::set<std::string>(mixed.begin(), mixed.end()).size(), 4u);
}

TEST_F(Exchange, ImportsWhatOtherProgramsWrite) {
    using enum ImportReason;
    const auto event = [](std::string_view lines) {
        return "BEGIN:VEVENT\nUID:u1\nSUMMARY:Réunion\n" + std::string(lines) + "END:VEVENT\n";
    };
    const auto task = [](std::string_view lines) {
        return "BEGIN:VTODO\nUID:t\nSUMMARY:Déclarer\n" + std::string(lines) + "END:VTODO\n";
    };
    const auto rule = [&](std::string_view start, std::string_view freq) {
        return event("DTSTART:" + std::string(start) + "\nRRULE:FREQ=" + std::string(freq) + "\n");
    };
    const auto jan10at9 = [&](std::string lines) { return event("DTSTART:20270110T090000\n" + lines); };
    const auto alarm = [](std::string_view trigger) {
        return "BEGIN:VALARM\nACTION:DISPLAY\nDESCRIPTION:Rappel\n" + std::string(trigger) + "\nEND:VALARM\n";
    };
    struct Case {
        std::string item;
        const char* alerts; ///< "date [time] recurrence" of each, then what was counted, not imported
        std::optional<ImportReason> issue = {}; ///< what the report says of it
    };
    const std::string est = "BEGIN:VTIMEZONE\nTZID:Est\n"
                            "BEGIN:STANDARD\nDTSTART:16011104T020000\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\n"
                            "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\nEND:STANDARD\n"
                            "BEGIN:DAYLIGHT\nDTSTART:16010311T020000\nTZOFFSETFROM:-0500\nTZOFFSETTO:-0400\n"
                            "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\nEND:DAYLIGHT\nEND:VTIMEZONE\n";
    const Case cases[] = {
        {event("DTSTART;TZID=America/New_York:20270110T090000\n"), "10/01/2027 15:00 0"},
        {event("DTSTART:25000101T080000Z\n"), "01/01/2500 09:00 0"},
        {jan10at9("DTEND:20270110T100000\n" + alarm("TRIGGER;RELATED=END:-PT5M")), "10/01/2027 09:55 0"},
        // An end before the start counts as the start.
        {jan10at9("DURATION:-PT2H\n" + alarm("TRIGGER;RELATED=END:PT0S")), "10/01/2027 09:00 0"},
        {jan10at9(alarm("TRIGGER;VALUE=DATE-TIME:20270109T170000Z")), "09/01/2027 18:00 0"},
        {event("DTSTART;VALUE=DATE:20270112\n" + alarm("TRIGGER:-P1D")), "11/01/2027 0"},
        {event("DTSTART;VALUE=DATE:20270112\n" + alarm("TRIGGER:-PT6H")), "11/01/2027 18:00 0"},
        // The alarm has passed but not the event: due at once.
        {event("DTSTART:20270105T090000\n" + alarm("TRIGGER:-P1D")), "04/01/2027 09:00 0"},
        // The start has passed but not its alarm.
        {event("DTSTART:20270104T110000\n" + alarm("TRIGGER:PT2H")), "04/01/2027 13:00 0"},
        {event("DTSTART;TZID=Custom:20270110T100000\n") +
             "BEGIN:VTIMEZONE\nTZID:Custom\nBEGIN:STANDARD\nDTSTART:19700101T000000\nTZOFFSETFROM:+0300\n"
             "TZOFFSETTO:+0300\nEND:STANDARD\nEND:VTIMEZONE\n",
         "10/01/2027 08:00 0"},
        // A zone too costly to work out: the time is taken as it stands.
        {"BEGIN:VTIMEZONE\nTZID:Busy\nBEGIN:STANDARD\nDTSTART:20000101T000000\nTZOFFSETFROM:+0300\n"
         "TZOFFSETTO:+0300\nRRULE:FREQ=SECONDLY\nEND:STANDARD\nEND:VTIMEZONE\n" +
             event("DTSTART;TZID=Busy:20270110T100000\n"),
         "10/01/2027 10:00 0", UnknownTimeZone},
        // libical works a zone's changes out only up to 2582, and again for every time asked past it.
        {est + event("DTSTART;TZID=Est:20270701T100000\n"), "01/07/2027 16:00 0"},
        {est + event("DTSTART;TZID=Est:29000701T100000\n"), "01/07/2900 16:00 0"},
        {est + event("DTSTART;TZID=Est:29001201T100000\n"), "01/12/2900 16:00 0"},
        {est + event("DTSTART;TZID=Est:99990701T100000\n"), "01/07/9999 16:00 0"},
        {rule("20270104T080000Z", "WEEKLY"), "11/01/2027 09:00 2", LocalTimeVaries},
        // In the hour skipped by summer time.
        {event("DTSTART;TZID=Europe/Paris:20270328T023000\n"), "28/03/2027 03:30 0"},
        {task("DTSTART:20270114T080000\nDUE:20270115T170000\n" + alarm("TRIGGER:PT1H")),
         "14/01/2027 09:00 0"},
        {task("DTSTART:20270115T170000\n"), "undated task"},
        {task("DUE:20270115T170000\nCOMPLETED:20270102T100000Z\n"), "", Completed},
        {rule("20270101T090000", "DAILY;BYDAY=MO,TU,WE,TH,FR"),
         "05/01/2027 09:00 2, 06/01/2027 09:00 2, 07/01/2027 09:00 2, 08/01/2027 09:00 2, "
         "11/01/2027 09:00 2"},
        {rule("20050105T090000", "WEEKLY;INTERVAL=2"), "06/01/2027 09:00 3"},
        {rule("20261203T090000", "MONTHLY;BYMONTHDAY=15"), "15/01/2027 09:00 4"},
        {event("DTSTART;VALUE=DATE:20261201\nRRULE:FREQ=MONTHLY;BYMONTHDAY=1,20\n"),
         "20/01/2027 4, 01/02/2027 4"},
        {rule("20261115T090000", "MONTHLY;INTERVAL=3"), "15/02/2027 09:00 6"},
        {event("DTSTART;VALUE=DATE:19800704\nRRULE:FREQ=YEARLY\n"), "04/07/2027 8"},
        {rule("20261208T090000", "MONTHLY;BYDAY=2TU"), "12/01/2027 09:00 4", RuleApproximated},
        // Monthly on the 31st skips the short months.
        {rule("20270131T090000", "MONTHLY"), "31/01/2027 09:00 4", RuleApproximated},
        {rule("20270101T090000", "DAILY;INTERVAL=3"), "07/01/2027 09:00 1", RuleApproximated},
        {rule("20270101T090000", "DAILY;COUNT=10"), "05/01/2027 09:00 1", EndIgnored},
        {rule("20270101T090000", "WEEKLY;UNTIL=20270301T000000Z"), "08/01/2027 09:00 2", EndIgnored},
        // The last occurrence left is a one-off.
        {rule("20270101T090000", "WEEKLY;COUNT=2"), "08/01/2027 09:00 0"},
        {rule("20260101T090000", "DAILY;COUNT=3"), "past"},
        {rule("20270101T080000", "DAILY\nEXDATE:20270110T080000"), "05/01/2027 08:00 1", ExceptionsIgnored},
        {rule("20270104T090000", "WEEKLY;BYDAY=MO,WE\nEXDATE:20270111T090000"),
         "06/01/2027 09:00 2, 18/01/2027 09:00 2"},
        {rule("20270101T080000", "DAILY\nRDATE:20270110T200000"), "05/01/2027 08:00 1", ExtraDatesIgnored},
        {rule("20270101T080000", "HOURLY"), "", TooFrequent},
        {rule("20270101T080000", "YEARLY;BYMONTH=2;BYMONTHDAY=30"), "", RuleUnusable}, // never occurs
        {event("DTSTART:20261231T080000\n"), "past"},
        {event("DTSTART:20270110T080000\nSTATUS:CANCELLED\n"), "", Cancelled},
        {event("DTEND:20270110T080000\n"), "", NoDate},
        {"BEGIN:VEVENT\nUID:u\nDTSTART:20270110T080000\nEND:VEVENT\n", "", NoText},
        {event("DTSTART:2027zz\n"), "", Unreadable},
        {event("DTSTART;TZID=Mars/Olympus:20270110T080000\n"), "10/01/2027 08:00 0", UnknownTimeZone},
        {event("RECURRENCE-ID:20270111T090000\nDTSTART:20270112T090000\n"), "", ModifiedOccurrence},
        {event("DTSTART:20270110T080000\nX-ZENTO-EMOTICON:42\n"), "10/01/2027 08:00 0", ValueIgnored},
        {event("DTSTART:20270110T080000\nX-ZENTO-ACTION:file:///x\n"), "10/01/2027 08:00 0", ActionWithheld},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        const auto plan = planNow(c.item);
        ASSERT_TRUE(plan.ok()) << plan.error().detail;
        std::string got;
        for (const Alerte& a : plan->alerts) {
            got += (got.empty() ? "" : ", ") + a.AlertDate + (a.AlertTime.empty() ? "" : " " + a.AlertTime) +
                   " " + a.Recurrence;
            EXPECT_TRUE(a.Action.empty());
        }
        got += std::string(plan->pastCount ? "past" : "") + (plan->undatedTaskCount ? "undated task" : "");
        EXPECT_EQ(got, c.alerts);
        std::vector<ImportReason> issues;
        for (const ImportNote& n : plan->notes) {
            EXPECT_EQ(n.skipped, plan->alerts.empty()); // left out, or imported with a change
            for (const ImportIssue& i : n.issues)
                issues.push_back(i.reason);
        }
        EXPECT_EQ(issues, c.issue ? std::vector{*c.issue} : std::vector<ImportReason>{});
    }
    // The report names a zone by its place, as the user knows it.
    const auto zoned = planNow(event("DTSTART;TZID=America/New_York:20270104T090000\nRRULE:FREQ=WEEKLY\n"));
    EXPECT_EQ(zoned->notes.at(0).issues.at(0).detail, "America/New_York");
    const auto odd = planNow(event("DTSTART;TZID=Z\xE9ro:20270110T080000\n")); // Windows-1252
    EXPECT_EQ(odd->notes.at(0).issues.at(0).detail, "Z\xC3\xA9ro");
}

TEST_F(Exchange, MessagesUidsAndOwnValuesFromElsewhere) {
    const std::string longLine = "Une phrase assez longue pour être pliée en plusieurs lignes: « été » 🎉 fin";
    std::string folded = "BEGIN:VEVENT\nUID:f\nDTSTART:20270110T080000\nSUMMARY:";
    for (std::size_t i = 0; i < longLine.size(); i += 30) // folded mid-character, as some programs do
        folded += (i ? "\n " : "") + longLine.substr(i, 30);
    const std::string items = folded + "\nEND:VEVENT\n" +
                              "BEGIN:VEVENT\nDTSTART:20270110T080000\nBEGIN:VALARM\nACTION:DISPLAY\n"
                              "DESCRIPTION:Texte\\nde l'alarme\nTRIGGER:PT0S\nEND:VALARM\nEND:VEVENT\n"
                              "BEGIN:VEVENT\nUID:same\nSUMMARY:Premier\nDTSTART:20270110T080000\nEND:VEVENT\n"
                              "BEGIN:VEVENT\nUID:same\nSUMMARY:Second\nDTSTART:20270111T080000\n"
                              "X-ZENTO-SOUND:../../etc/passwd\nX-ZENTO-ACTION:mailto:a@b\\n\nEND:VEVENT\n"
                              "BEGIN:VEVENT\nUID:w\nSUMMARY:Hebdo\nDTSTART:20270104T090000\n"
                              "RRULE:FREQ=WEEKLY;BYDAY=TU,TH\nEND:VEVENT\n"
                              // Older programs write Windows-1252.
                              "BEGIN:VEVENT\nUID:l\nSUMMARY:Caf\xe9\nDTSTART:20270110T080000\nEND:VEVENT\n"
                              "BEGIN:VEVENT\nUID:long\nDTSTART:20270110T080000\nSUMMARY:" +
                              std::string(5000, 'a') + "\nEND:VEVENT\n";
    const auto plan = planNow(items, true);
    ASSERT_TRUE(plan.ok()) << plan.error().detail;
    ASSERT_EQ(plan->alerts.size(), 8u);
    const auto& a = plan->alerts;
    EXPECT_EQ(a[0].Message, longLine);
    EXPECT_EQ(a[0].Emoticon + a[0].BackColor + a[0].ForeColor + a[0].LoopSound, "5126323192550");
    EXPECT_EQ(a[1].Message, "Texte de l'alarme");
    EXPECT_EQ(a[1].Uid.rfind("import-", 0), 0u);
    EXPECT_EQ(a[2].Uid, "same");
    EXPECT_NE(a[3].Uid, "same");
    EXPECT_EQ(a[3].Sound + " " + a[3].Action, "Defaut.wav mailto:a@b");
    EXPECT_EQ(a[4].Uid + " " + a[5].Uid, "w#TU w#TH");
    EXPECT_EQ(a[6].Message, "Café");
    EXPECT_EQ(a[7].Message.size(), kMaxImportedMessage);

    // Without consent, the action stays out and is listed.
    const auto withheld = planNow(items);
    ASSERT_TRUE(withheld.ok());
    EXPECT_EQ(withheld->withheldActions.at(0).action, "mailto:a@b");
    const auto lines = ImportReportLines(*withheld);
    ASSERT_EQ(lines.size(), 2u); // "Second" (bad sound name, withheld action), the shortened text
    EXPECT_NE(lines[0].find("Second"), std::string::npos);
}

TEST_F(Exchange, ABrokenFileChangesNothingAndSaysWhere) {
    const std::string event = "BEGIN:VEVENT\r\nUID:a\r\nSUMMARY:a\r\nDTSTART:20270110T080000\r\n";
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"blank", " \r\n\r\n", "vide"},
        {"binary", std::string("BEGIN:VCALENDAR\r\n\x01\x02\0\x03", 21), "ligne 2"},
        {"no calendar", event + "END:VEVENT\r\n", "ligne 1"},
        {"cut short", "BEGIN:VCALENDAR\r\n" + event, "ligne 2"},
        {"wrong end", "BEGIN:VCALENDAR\r\n" + event + "END:VTODO\r\nEND:VCALENDAR\r\n", "ligne 6"},
        {"junk at end", "BEGIN:VCALENDAR\r\n" + event + "END:VEVENT\r\nEND:VCALENDAR\r\njunk\r\n", "ligne 8"},
        {"broken time zone",
         "BEGIN:VCALENDAR\r\nBEGIN:VTIMEZONE\r\nTZID:X\r\nBEGIN:STANDARD\r\nDTSTART:1970zz\r\n"
         "TZOFFSETFROM:+0100\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\nEND:VCALENDAR\r\n",
         "ligne 5"},
    };
    for (const auto& [what, text, where] : cases) {
        SCOPED_TRACE(what);
        const auto plan = PlanImport(text, local_days{2027y / 1 / 4} + 12h, options());
        ASSERT_FALSE(plan.ok());
        EXPECT_EQ(plan.error().code, ErrorCode::BadCalendar);
        EXPECT_NE(plan.error().detail.find(where), std::string::npos) << plan.error().detail;
    }
}

TEST_F(Exchange, AFileThatCannotBeWrittenSaysWhyAndLeavesNothing) {
    test::TempDir dir;
    const Status failed = WriteCalendarFile(dir / "missing" / "a.ics", "x");
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error(), (Error{ErrorCode::WriteFailed, "le dossier n'existe pas"}));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

} // namespace
