// A month of the ward program as a clerk makes it in the real window: the
// institution's file imported, one record processed, an item added on every
// tab that takes items, the episode stored, the month exported, and the
// written files read back byte for byte.
#include "tests/app/export/exportfixture.h"

#include "app/common/kezdo.h"
#include "app/exchange/tlvrec.h"
#include "platform/db/dataconnection.h"
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
using platform::db::Database;

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

void key(QWidget* target, int qtKey, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, qtKey, {}, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, {}, text);
    QCoreApplication::sendEvent(target, &release);
}

void type(QWidget* target, const QString& text)
{
    for (QChar c : text) {
        key(target, c == u',' ? int(Qt::Key_Comma) : int(c.toUpper().unicode()), QString(c));
        settle();
    }
}

// One record of the inpatient-report file, every field blank but these.
QByteArray record(const QByteArray& torzsszam, const QByteArray& felv, const QByteArray& firstIntervention)
{
    QByteArray r(exchange::kTlvDataLength, ' ');
    const auto set = [&r](const char* field, const QByteArray& value) {
        for (const exchange::TlvField& f : exchange::tlvFields())
            if (qstrcmp(f.name, field) == 0)
                r.replace(f.offset, value.size(), value);
    };
    set("Munkahely_azon", "123410111");
    set("Torzsszam", torzsszam);
    set("Sorszám", " 1");
    set("Szemelyaz", "123456788");
    set("Felv", felv);
    set("Tav", "200508051405");
    set("Tov_sors", "2");
    QByteArray interventions(320, ' ');
    interventions.replace(24, firstIntervention.size(), firstIntervention);
    set("Beavatkoz", interventions);
    return r + "\r\n";
}

class WardEndToEnd : public WardExportFixture {
protected:
    void SetUp() override
    {
        WardExportFixture::SetUp();
        // The code tables the clerk picks from: one code on each tab.
        auto codes = Database::open(QDir(folder()).filePath(program().codeTableFile));
        codes->exec(QStringLiteral("delete from SGYOGY"));
        codes->exec(QStringLiteral("delete from ELELEM"));
        codes->exec(QStringLiteral("delete from EGYEB"));
        codes->exec(QStringLiteral("insert into SGYOGY (SKOD, SNEV, SME, SAR) values ('A0123', 'Amoxil kapszula', 'db', 48)"));
        codes->exec(QStringLiteral("insert into ELELEM (KOD, NEV, ME, AR) values ('F1', 'Normál étrend', 'Nap', 100)"));
        codes->exec(QStringLiteral("insert into EGYEB (KOD, NEV, ME, AR, space20) values ('E12', 'Ionogram', 'db', 620, '')"));
    }

    // Picks the tab, types the code, moves on to the quantity box, types the
    // quantity and presses Enter there.
    void addByKeys(kezdo& w, int page, const QString& code, const QString& quantity)
    {
        w.SSTab1->setCurrentIndex(page);
        QLineEdit* codeBox[] = {w.Text1, w.Text5, w.Text8};
        platform::MaskEdBox* quantityBox[] = {w.MaskEdBox7, w.MaskEdBox8, w.MaskEdBox9};
        focusOn(w, codeBox[page]);
        type(codeBox[page], code);
        focusOn(w, quantityBox[page]);
        quantityBox[page]->setText(QString());
        type(quantityBox[page], quantity);
        key(quantityBox[page], Qt::Key_Return, QStringLiteral("\r"));
        settle();
    }
};

} // namespace

TEST_F(WardEndToEnd, imported_record_is_given_items_on_every_tab_stored_and_exported)
{
    // Two records: the ward takes both, the one without an intervention code
    // too, and keeps an admission at 24:00 as received.
    write(QDir(folder()).filePath(QStringLiteral("c/TLVREC.TXT")),
          record("111111111", "200508012400", "12345") + record("222222222", "200508021000", ""));
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

    // Processing the first record.
    w.feldolg->trigger();
    settle();
    ASSERT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    ASSERT_EQ(w.Label8->text(), "2");
    ASSERT_EQ(w.Text3->text(), "111111111");
    EXPECT_EQ(w.Text11->text(), "0111");
    EXPECT_EQ(w.MaskEdBox2->text(), "24:00");
    w.Combo2->setEditText(QStringLiteral("0 - Saját osztály"));
    w.SSCheck2->click(); // "Kivizsgálás": the last piece of every line

    // One item on each tab that takes items; the diagnostics tab only shows
    // its notice.
    addByKeys(w, 0, QStringLiteral("A0123"), QStringLiteral("1,5"));
    ASSERT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    addByKeys(w, 1, QStringLiteral("F1"), QStringLiteral("2"));
    ASSERT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    // The last one by its button, pressed at once after typing.
    w.SSTab1->setCurrentIndex(2);
    focusOn(w, w.Text8);
    type(w.Text8, QStringLiteral("E12"));
    focusOn(w, w.MaskEdBox9);
    w.MaskEdBox9->setText(QString());
    type(w.MaskEdBox9, QStringLiteral("3"));
    w.SSCommand5->click();
    w.SSTab1->setCurrentIndex(3);
    settle();
    EXPECT_TRUE(w.SSPanel29->isVisible());
    ASSERT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();

    boxes->answer(MsgResult::Yes); // store it
    boxes->answer(MsgResult::No);  // no other ward
    w.SSCommand1->click();
    ASSERT_TRUE(boxes.texts().contains("Az adatfelvitel sikeresen lezajlott!")) << boxes.texts().join('|').toStdString();
    EXPECT_EQ(db().scalar(QStringLiteral("select group_concat(Tipus, '') from (select Tipus from \"Ráfkódok\" "
                                         "order by rowid)")),
              "GLE");
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

    // Fourteen pieces: 65 characters and the code, then CR LF.
    const QByteArray head = QByteArray("1234") + "1" + "111111111" + "123456788" + " 1" + "20050801" + "2400" + "0111"
        + "20050805" + "1405" + "0";
    const QByteArray lines = head + "A0123" + "      1,50" + "1" + "\r\n"
        + head + "F1" + "      2,00" + "1" + "\r\n"
        + head + "E12" + "      3,00" + "1" + "\r\n";
    EXPECT_EQ(read(QDir(folder()).filePath("tlakt123408.txt")), lines);
    EXPECT_EQ(read(QDir(targetFolder()).filePath("tlvraf123408.txt")), lines);
    EXPECT_EQ(read(QDir(diskette()).filePath("tlvraf123408.txt")), lines);
    EXPECT_EQ(read(QDir(targetFolder()).filePath("kiser.txt")),
              QByteArray("K\xED" "serojegyzek\r\n"
                         "Keszult: 2005.08.24.\r\n"
                         "Bekuldo kodja: 1234\r\n"
                         "Bekuldo neve: Pr\xF3" "ba K\xF3" "rh\xE1" "z\r\n"
                         "Jelentett honap: 08\r\n"
                         "Bekuldott adatlapok szama: 1\r\n"
                         "Bekuldott raforditasi tetelek szama: 3"));
    EXPECT_FALSE(QFile::exists(QDir(targetFolder()).filePath("mtlvraf123408.txt")));
    EXPECT_FALSE(QFile::exists(QDir(targetFolder()).filePath("mkiser.txt")));
}
