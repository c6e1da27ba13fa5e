// Rules of the episode header that need no window: the TAJ check, the date
// and time texts of the masked boxes, the care-type, outcome and ward-sign
// tables, the text forms in which an episode is stored, and the checks that
// "Felvitel" and "Módosít" run before anything is written.
//
// The window (kezdo_episode.cpp) copies its controls into an EpisodeForm,
// asks these functions, and shows what they return through platform::msgBox.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace episode {

// Texts of empty masked boxes: blanks in every digit position.
inline const QString kEmptyDate = QStringLiteral("    .  .  .");
inline const QString kEmptyTime = QStringLiteral("  :  ");

// The three captions of the entry frame that say which mode the window is in.
inline const QString kManualCaption = QStringLiteral("Adatfelvitel");
inline const QString kProcessingCaption = QStringLiteral("Adatleválogatás a TALVIRON floppyról");
inline const QString kReviewCaption = QStringLiteral("Felvett adatok áttekintése");

enum class Mode { Manual, Processing, Review, Other };
Mode modeFromCaption(const QString& frameCaption);

// Blank: empty once leading and trailing spaces are gone.
bool isBlank(const QString& text);

// One message box: text, title (empty = the program's own) and the style
// bits of platform::msgBox.
struct Message {
    QString text;
    QString title;
    int style = 0;
    bool operator==(const Message&) const = default;
};

// ---- dates and times --------------------------------------------------

// A date box's text as a calendar date: year, month, day separated and
// closed by points ("2005.08.24."); the closing point may be missing, as in
// converted records. Anything else, the empty box included, is no date.
std::optional<QDate> readDate(const QString& text);

// True when the discharge time must be refused: both dates read as the same
// day and the discharge time is not later than the admission time. Hours and
// minutes are compared as two-character texts, so a blank sorts before any
// digit and an empty discharge box on the admission day is refused. Dates
// that do not read as dates never refuse here; their own checks report them.
bool dischargeTimeRefused(const QString& admissionDate, const QString& admissionTime,
                          const QString& dischargeDate, const QString& dischargeTime);

// The first failing check of a date box when it loses the focus, or none.
std::optional<Message> admissionDateProblem(const QString& admissionDate);
std::optional<Message> dischargeDateProblem(const QString& admissionDate, const QString& dischargeDate);
std::optional<Message> dischargeTimeProblem(const QString& admissionDate, const QString& admissionTime,
                                            const QString& dischargeDate, const QString& dischargeTime);

// ---- register number, TAJ, sequence, outcome ---------------------------

std::optional<Message> registerNumberProblem(const QString& registerNumber);

enum class TajVerdict { Valid, WrongLength, NotDigits, WrongCheckDigit };
TajVerdict checkTaj(const QString& taj);
// The box of a verdict; none for a valid number.
std::optional<Message> tajProblem(const QString& taj);

// The sequence number as it stays after its box is left: "0" when blank.
QString normalisedSequence(const QString& text);

bool isValidOutcome(const QString& code);
std::optional<Message> outcomeProblem(const QString& code);

// ---- code tables -------------------------------------------------------

struct CareType {
    QString key;   // the Ojelleg character
    QString text;  // shown in Label4; begins with the key
};
const std::array<CareType, 12>& careTypes();
// The text for a care-type key, compared exactly and with case; empty when
// the key is not one of the twelve.
QString careTypeText(const QString& key);

// Outcome list of Combo3: an empty first entry, then the eleven outcomes.
const QStringList& outcomeList();
// Ward-sign list of Combo2.
const QStringList& wardSigns();

// ---- stored text forms -------------------------------------------------

// A time box's text as stored: "14:05" -> "14:05:00".
QString storedTime(const QString& boxText);
// A stored time as its box shows it: the first five characters.
QString shownTime(const QString& stored);
// The first character of a text, or "" for an empty one (Ojele, Int_tipus).
QString firstChar(const QString& text);
// The institution identifier: code, care-type character and ward code.
QString institutionIdentifier(const QString& institutionCode, const QString& careTypeCaption,
                              const QString& wardCode);

// ---- the episode as the form shows it ---------------------------------

// Surgery slots 0 ... 9 (their controls: entry::slotControls()).
inline constexpr int kSlotCount = 10;

struct EpisodeForm {
    Mode mode = Mode::Manual;
    QString identifier;      // Label1
    QString institutionCode; // Text6
    QString careTypeCaption; // Label4
    QString konvCareType;    // Label6
    QString registerNumber;  // Text3
    QString taj;             // Text4
    QString admissionDate;   // MaskEdBox1
    QString admissionTime;   // MaskEdBox2
    QString dischargeDate;   // MaskEdBox3
    QString dischargeTime;   // MaskEdBox4
    QString wardCombo;       // DBCombo1
    QString wardBox;         // Text11
    QString wardSign;        // Combo2
    QString sequence;        // Text14
    bool examination = false; // SSCheck2
    QString outcome;         // Text25
    bool stored = false;     // SSCheck1
    std::array<QString, kSlotCount> codes;     // code boxes, slot order
    std::array<QString, kSlotCount> durations; // duration boxes, slot order

    // Processing mode: whether the converted record being completed exists
    // and is already marked processed.
    bool konvRowPresent = false;
    bool konvProcessed = false;
};

// ---- the save checks ---------------------------------------------------

enum class SaveButton { Felvitel, Modosit };

struct Refusal {
    Message message;
    QString focus; // control that takes the focus; empty = the focus stays
    bool operator==(const Refusal&) const = default;
};

enum class SaveVerdict { Go, Refused, Declined };
struct SaveCheckResult {
    SaveVerdict verdict = SaveVerdict::Go;
    Refusal refusal; // when Refused
};

// The confirmation that sits between the early and the late checks.
Message saveConfirmation(SaveButton button);

// Runs the save's checks in their order. `confirm` is asked the
// confirmation once the first checks have passed; false ends the save
// silently (Declined).
SaveCheckResult runSaveChecks(const EpisodeForm& form, SaveButton button,
                              const std::function<bool(const Message&)>& confirm);

inline const QString kSaveSucceeded = QStringLiteral("Az adatfelvitel sikeresen lezajlott!");
Message anotherWardQuestion();

} // namespace episode
