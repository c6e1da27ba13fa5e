// A month as a clerk makes it in the real window: the institution's file
// imported, its record processed, a drug added to its surgery, the episode
// stored, the month exported, and the written files read back byte for byte.
#include "tests/app/export/exportfixture.h"

#include "app/common/kezdo.h"
#include "app/exchange/tlvrec.h"
#include "platform/ui/controls.h"
#include "platform/ui/events.h"
#include "platform/ui/maskedbox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>

using platform::MsgResult;

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        platform::Events::flush();
    }
}

void focusOn(kezdo& w, QWidget* control)
{
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    control->setFocus(Qt::OtherFocusReason);
    settle();
}

void type(QWidget* target, const QString& text)
{
    for (QChar c : text) {
        const int qtKey = c == u',' ? int(Qt::Key_Comma) : int(c.toUpper().unicode());
        QKeyEvent press(QEvent::KeyPress, qtKey, {}, QString(c));
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, {}, QString(c));
        QCoreApplication::sendEvent(target, &release);
        settle();
    }
}

// One record of the inpatient-report file, every field blank but these.
QByteArray record()
{
    QByteArray r(exchange::kTlvDataLength, ' ');
    const auto set = [&r](const char* field, const QByteArray& value) {
        for (const exchange::TlvField& f : exchange::tlvFields())
            if (qstrcmp(f.name, field) == 0)
                r.replace(f.offset, value.size(), value);
    };
    set("Munkahely_azon", "123410111");
    set("Torzsszam", "111111111");
    set("Sorszám", " 1");
    set("Szemelyaz", "123456788");
    set("Felv", "200508011230");
    set("Tav", "200508051405");
    set("Tov_sors", "2");
    QByteArray interventions(320, ' ');
    interventions.replace(24, 5, "12345");
    set("Beavatkoz", interventions);
    return r + "\r\n";
}

class EndToEnd : public ExportFixture {};

} // namespace

TEST_F(EndToEnd, imported_record_is_completed_stored_and_exported)
{
    const QString tlvrec = QDir(folder()).filePath(QStringLiteral("c/TLVREC.TXT"));
    write(tlvrec, record());
    platform::ActivationTracker::instance().reset();
    kezdo w(program());
    w.anotherInstanceRunning = [] { return false; };
    w.show();
    QApplication::setActiveWindow(&w);
    settle();
    boxes->clear();

    // Import.
    w.kesz->trigger();
    w.Text13->setText(QStringLiteral("c:\\TLVREC.TXT"));
    w.SSCommand12->click();
    ASSERT_EQ(boxes.texts(), QStringList{"Adatkonvertálás sikeresen lezajlott!"});
    boxes->clear();
    settle();

    // Processing the record: its surgery gets a duration and a drug.
    w.feldolg->trigger();
    settle();
    ASSERT_EQ(w.Text3->text(), "111111111");
    ASSERT_EQ(w.Text23->text(), "12345");
    w.Combo2->setEditText(QStringLiteral("0 - Saját osztály"));
    focusOn(w, w.Text23);
    focusOn(w, w.MaskEdBox7);
    type(w.MaskEdBox7, QStringLiteral("0130"));
    w.SSTab1->setCurrentIndex(0);
    focusOn(w, w.Text1);
    type(w.Text1, QStringLiteral("12"));
    focusOn(w, w.MaskEdBox17);
    type(w.MaskEdBox17, QStringLiteral("2,5"));
    focusOn(w, w.SSCommand3);
    w.SSCommand3->click();
    ASSERT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join('|').toStdString();

    boxes->answer(MsgResult::Yes); // store it
    boxes->answer(MsgResult::No);  // no other ward
    w.SSCommand1->click();
    ASSERT_TRUE(boxes.texts().contains("Az adatfelvitel sikeresen lezajlott!")) << boxes.texts().join('|').toStdString();
    w.SSCommand2->click();
    settle();
    boxes->clear();

    // The month's export, clicked without letting anything settle first.
    w.talviron->trigger();
    w.Text17->setText(QStringLiteral("c:\\export"));
    w.Check1->click();
    const int august = w.Combo1->findText(QStringLiteral("08"));
    w.Combo1->setCurrentIndex(august);
    emit w.Combo1->activated(august);
    w.Text28->setText(QStringLiteral("0"));
    boxes->answer(MsgResult::No);  // no printed list
    boxes->answer(MsgResult::Yes); // to the diskette
    w.SSCommand17->click();
    ASSERT_EQ(boxes.texts(), (QStringList{"Kívánja nyomtatni a kísérőlapot?",
                                          "Feldolgozás kész!Kívánja floppyra menteni?", "Kész!"}));

    const QByteArray line = QByteArray("1234") + "1" + "111111111" + "123456788" + " 1" + "20050801" + "1230" + "0111"
        + "20050805" + "1405" + "0" + "12" + "      2,50" + "12345" + QByteArray(20, ' ') + "0130" + "0" + "2" + "\r\n";
    EXPECT_EQ(read(QDir(folder()).filePath("tlakt123408.txt")), line);
    EXPECT_EQ(read(QDir(targetFolder()).filePath("mtlvraf123408.txt")), line);
    EXPECT_EQ(read(QDir(diskette()).filePath("mtlvraf123408.txt")), line);
    EXPECT_EQ(read(QDir(targetFolder()).filePath("mkiser.txt")),
              QByteArray("K\xED" "serojegyzek\r\n"
                         "Keszult: 2005.08.24.\r\n"
                         "Bekuldo kodja: 1234\r\n"
                         "Bekuldo neve: Pr\xF3" "ba K\xF3" "rh\xE1" "z\r\n"
                         "Jelentett honap: 08\r\n"
                         "Bekuldott adatlapok szama: 1\r\n"
                         "Bekuldott raforditasi tetelek szama: 1"));
}
