#include "app/common/episoderules.h"

#include "platform/ui/msgbox.h"

#include <QRegularExpression>

namespace episode {

using platform::Critical;
using platform::OkOnly;
using platform::Question;
using platform::YesNo;

Mode modeFromCaption(const QString& frameCaption)
{
    if (frameCaption == kManualCaption)
        return Mode::Manual;
    if (frameCaption == kProcessingCaption)
        return Mode::Processing;
    if (frameCaption == kReviewCaption)
        return Mode::Review;
    return Mode::Other;
}

bool isBlank(const QString& text)
{
    for (QChar c : text)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

// ---- dates and times --------------------------------------------------

std::optional<QDate> readDate(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})\\.(\\d{2})\\.(\\d{2})\\.?$"));
    const auto m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

bool dischargeTimeRefused(const QString& admissionDate, const QString& admissionTime,
                          const QString& dischargeDate, const QString& dischargeTime)
{
    const auto admitted = readDate(admissionDate);
    const auto left = readDate(dischargeDate);
    if (!admitted || !left || *admitted != *left)
        return false;
    // Hours are the first two characters, minutes the last two; compared as
    // texts so that a blank position sorts before any digit.
    const QString admH = admissionTime.left(2), admM = admissionTime.right(2);
    const QString disH = dischargeTime.left(2), disM = dischargeTime.right(2);
    if (disH < admH)
        return true;
    return disH == admH && disM <= admM;
}

std::optional<Message> admissionDateProblem(const QString& admissionDate)
{
    if (!readDate(admissionDate))
        return Message{QStringLiteral("Hibás a felviteli dátum, kérem javítsa!"), QStringLiteral("Hiba!"),
                       Critical};
    return std::nullopt;
}

std::optional<Message> dischargeDateProblem(const QString& admissionDate, const QString& dischargeDate)
{
    const auto left = readDate(dischargeDate);
    if (!left)
        return Message{QStringLiteral("Hibás a felviteli dátum, kérem javítsa!"), QStringLiteral("Hiba!"),
                       Critical};
    const auto admitted = readDate(admissionDate);
    if (admitted && *admitted > *left)
        return Message{QStringLiteral("A távozási dátum nem lehet kisebb a felvételi dátumnál!"),
                       QStringLiteral("Figyelmeztetés!"), Critical};
    return std::nullopt;
}

std::optional<Message> dischargeTimeProblem(const QString& admissionDate, const QString& admissionTime,
                                            const QString& dischargeDate, const QString& dischargeTime)
{
    if (dischargeTimeRefused(admissionDate, admissionTime, dischargeDate, dischargeTime))
        return Message{QStringLiteral("Nem lehet ugyanazon a napon a távozási idő kisebb vagy egyenlő a "
                                      "fevételi idővel!"),
                       QStringLiteral("Figyelmeztetés!"), Critical};
    return std::nullopt;
}

// ---- register number, TAJ, sequence, outcome ---------------------------

std::optional<Message> registerNumberProblem(const QString& registerNumber)
{
    if (registerNumber.size() < 9)
        return Message{QStringLiteral("A törzsszámnak 9 hosszúnak kell lenni!"), QString(), Critical};
    return std::nullopt;
}

TajVerdict checkTaj(const QString& taj)
{
    if (taj.size() != 9)
        return TajVerdict::WrongLength;
    // Odd positions first, then even ones, then the check digit: the first
    // character that is not a decimal digit ends the check.
    static constexpr int order[] = {0, 2, 4, 6, 1, 3, 5, 7, 8};
    int digits[9] = {};
    for (int i : order) {
        const QChar c = taj.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return TajVerdict::NotDigits;
        digits[i] = c.unicode() - '0';
    }
    const int sum = 3 * (digits[0] + digits[2] + digits[4] + digits[6])
                    + 7 * (digits[1] + digits[3] + digits[5] + digits[7]);
    return digits[8] == sum % 10 ? TajVerdict::Valid : TajVerdict::WrongCheckDigit;
}

std::optional<Message> tajProblem(const QString& taj)
{
    switch (checkTaj(taj)) {
    case TajVerdict::Valid:
        return std::nullopt;
    case TajVerdict::WrongLength:
        return Message{QStringLiteral("A TAJ számnak 9 számjegyűnek kell lennie !"), QStringLiteral("Hiba!"),
                       Critical};
    case TajVerdict::NotDigits:
        return Message{QStringLiteral("Ez a Taj. nem felel meg az előírásoknak!"), QString(), OkOnly};
    case TajVerdict::WrongCheckDigit:
        return Message{QStringLiteral("Hibás a TAJ szám, kérem javítsa!"), QStringLiteral("Hiba!"), Critical};
    }
    return std::nullopt;
}

QString normalisedSequence(const QString& text)
{
    return text.trimmed().isEmpty() ? QStringLiteral("0") : text;
}

bool isValidOutcome(const QString& code)
{
    static const QStringList codes = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B"};
    return codes.contains(code, Qt::CaseSensitive);
}

std::optional<Message> outcomeProblem(const QString& code)
{
    if (!isValidOutcome(code))
        return Message{QStringLiteral("Nem helyes érték!"), QStringLiteral("Hiba"), Critical};
    return std::nullopt;
}

// ---- code tables -------------------------------------------------------

const std::array<CareType, 12>& careTypes()
{
    static const std::array<CareType, 12> table = {{
        {"1", QStringLiteral("1 = aktív fekvőbeteg ellátás")},
        {"2", QStringLiteral("2 = járóbeteg-szakellátás, központi diagnosztika, terápia")},
        {"3", QStringLiteral("3 = nappali kórház")},
        {"4", QStringLiteral("4 = szanatórium")},
        {"5", QStringLiteral("5 = egyéb egészségügyi szolgálat")},
        {"A", QStringLiteral("A = ápolási otthon")},
        {"C", QStringLiteral("C = krónikus fekvőbeteg-ellátás")},
        {"E", QStringLiteral("E = egynapos ellátás")},
        {"G", QStringLiteral("G = gondozás")},
        {"K", QStringLiteral("K = kúraszerű ellátás")},
        {"R", QStringLiteral("R = rehabilitáció(fekvő)")},
        {"M", QStringLiteral("M = mátrix")},
    }};
    return table;
}

QString careTypeText(const QString& key)
{
    for (const auto& t : careTypes())
        if (t.key == key)
            return t.text;
    return QString();
}

const QStringList& outcomeList()
{
    static const QStringList list = {
        QString(),
        QStringLiteral("1. Belső kórházi áthelyezés"),
        QStringLiteral("2. Más kórházba történő áthelyezés"),
        QStringLiteral("3. Otthonába bocsátva"),
        QStringLiteral("4. Meghalt"),
        QStringLiteral("5. Rész-számla"),
        QStringLiteral("6. Otthonába adaptációs szabadságra bocsátva"),
        QStringLiteral("7. Önkényesen távozott"),
        QStringLiteral("8. Szociális otthonba távozott"),
        QStringLiteral("9. Egyéb"),
        QStringLiteral("A. Otthoni szakápolásra átadva"),
        QStringLiteral("B. Otthoni szakápolásra javasolt"),
    };
    return list;
}

const QStringList& wardSigns()
{
    static const QStringList list = {
        QStringLiteral("0 - Saját osztály"),
        QStringLiteral("1 - Intézeten belüli osztály"),
        QStringLiteral("2 - Másik intézet"),
    };
    return list;
}

// ---- stored text forms -------------------------------------------------

QString storedTime(const QString& boxText)
{
    return boxText + QStringLiteral(":00");
}

QString shownTime(const QString& stored)
{
    return stored.left(5);
}

QString firstChar(const QString& text)
{
    return text.left(1);
}

QString institutionIdentifier(const QString& institutionCode, const QString& careTypeCaption,
                              const QString& wardCode)
{
    return institutionCode + firstChar(careTypeCaption) + wardCode;
}

// ---- the save checks ---------------------------------------------------

Message saveConfirmation(SaveButton button)
{
    // The modify button's question keeps its old wording.
    return Message{button == SaveButton::Felvitel ? QStringLiteral("Biztos fel akarja venni?")
                                                  : QStringLiteral("Biztos fe akarja venni?"),
                   QStringLiteral("Kérdés"), Question | YesNo};
}

Message anotherWardQuestion()
{
    return Message{QStringLiteral("Kívánja más osztályhoz is rögzíteni?"), QStringLiteral("Kérdés"),
                   Question | YesNo};
}

SaveCheckResult runSaveChecks(const EpisodeForm& form, SaveButton button,
                              const std::function<bool(const Message&)>& confirm)
{
    const bool felvitel = button == SaveButton::Felvitel;
    auto refuse = [](const QString& text, const QString& title, const QString& focus) {
        return SaveCheckResult{SaveVerdict::Refused, Refusal{Message{text, title, Critical}, focus}};
    };

    if (felvitel && form.mode == Mode::Processing && form.konvRowPresent && form.konvProcessed)
        return refuse(QStringLiteral("Már feldolgozott rekord!"), QStringLiteral("Hiba"), QString());

    for (int slot = 0; slot < kSlotCount; ++slot)
        if (!isBlank(form.codes[slot]) && form.durations[slot] == kEmptyTime)
            return refuse(QStringLiteral("Hiányzó műtéti időtartam!"), QStringLiteral("Hiba"), QString());

    if (!confirm(saveConfirmation(button)))
        return SaveCheckResult{SaveVerdict::Declined, {}};

    if (isBlank(form.institutionCode))
        return refuse(QStringLiteral("Hiányzik az intézetkód!"), QString(), QStringLiteral("Text6"));
    if (isBlank(form.registerNumber))
        return refuse(QStringLiteral("Hiányzik a törzsszám!"), QString(), QStringLiteral("Text3"));
    if (form.mode == Mode::Manual && isBlank(form.wardCombo))
        return refuse(QStringLiteral("Hiányzik az osztálykód!"), QString(), QStringLiteral("Text3"));
    if (form.mode == Mode::Processing && isBlank(form.wardBox))
        return refuse(QStringLiteral("Hiányzik az osztálykód!"), QString(), QStringLiteral("Text3"));
    if (isBlank(form.wardSign))
        return refuse(QStringLiteral("Hiányzik az ellátást végző osztály jele!"), QString(),
                      QStringLiteral("Text3"));
    if (form.admissionDate == kEmptyDate)
        return refuse(QStringLiteral("Üres felvételi dátum!"), QString(), QStringLiteral("MaskEdBox1"));
    if (form.dischargeDate == kEmptyDate)
        return refuse(QStringLiteral("Üres távozási dátum!"), QString(), QStringLiteral("MaskEdBox3"));
    if (form.admissionTime == kEmptyTime)
        return refuse(QStringLiteral("Üres felvételi idő!"), QString(), QStringLiteral("MaskEdBox2"));
    if (form.dischargeTime == kEmptyTime)
        return refuse(QStringLiteral("Üres távozási idő!"), QString(), QStringLiteral("MaskEdBox4"));
    if (felvitel && form.stored)
        return refuse(QStringLiteral("Feldolgozott rekordot nem lehet újra felvinni!"),
                      QStringLiteral("Figyelmeztetés"), QString());

    return SaveCheckResult{SaveVerdict::Go, {}};
}

} // namespace episode
