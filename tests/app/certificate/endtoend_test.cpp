// A whole run as a clerk makes it: an episode typed in with a surgery and a
// drug, stored, its certificate printed, and the overview's item list
// printed, both to the PDF printer and read back with the poppler tools.
#include "app/common/datafolder.h"
#include "app/common/kezdo.h"
#include "app/common/programinfo.h"
#include "app/windows/attekintform.h"
#include "platform/db/dataconnection.h"
#include "platform/print/printer.h"
#include "platform/sys/regional.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/events.h"
#include "platform/ui/maskedbox.h"
#include "printlib/clsPrint.h"
#include "printlib/frmPreview.h"
#include "printlib/winhelpers.h"
#include "tests/support/scriptedboxes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& file)
{
    const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(run("pdfinfo", {file}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

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

} // namespace

TEST(EndToEnd, a_stored_episode_prints_its_certificate_and_its_item_list_to_pdf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString old = QDir::currentPath();
    QString error;
    ASSERT_TRUE(makeDataFolder(dir.path(), ProgramInfo::sebrix(), &error)) << error.toStdString();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    ProgramInfo::setCurrent(ProgramInfo::sebrix());
    platform::setDefaultMsgBoxTitle("Sebrix");
    platform::ActivationTracker::instance().reset();
    platform::ScopedRegional regional("%Y.%m.%d.", "%H:%M:%S", QDateTime(QDate(2005, 8, 24), QTime(9, 59, 0)));
    testsupport::ScriptedBoxes boxes;
    ASSERT_TRUE(platform::selectPrinter(platform::pdfPrinterName()));
    // The preview is looked at and closed; the list it shows is printed while
    // it is open (the overview releases the list once its preview closes).
    printlib::setModalDriver([](QDialog& d) {
        if (qobject_cast<printlib::frmPreview*>(&d) && printlib::Job)
            printlib::Job->PrintDoc(nullptr, false);
    });
    platform::db::Database::open(QDir(dir.path()).filePath("madatok.mdb"))
        ->exec("insert into intadatok (int_kod, Int_neve) values ('1234', 'Városi Kórház')");

    {
        kezdo w(ProgramInfo::sebrix());
        w.anotherInstanceRunning = [] { return false; };
        w.show();
        QApplication::setActiveWindow(&w);
        settle();
        w.fel->trigger();
        settle();
        w.Text3->setText("111111111");
        w.Text4->setText("123456788");
        w.DBCombo1->setText("0211");
        w.Combo2->setEditText("0 - Saját osztály");
        w.Text14->setText("1");
        focusOn(w, w.Text23);
        type(w.Text23, "12345");
        focusOn(w, w.MaskEdBox7);
        type(w.MaskEdBox7, "0130");
        focusOn(w, w.SSCheck2);
        w.SSTab1->setCurrentIndex(0);
        focusOn(w, w.Text1);
        type(w.Text1, "12");
        focusOn(w, w.SSCheck2);
        type(w.MaskEdBox17, "2,5");
        focusOn(w, w.SSCommand3); // the quantity box hands its text on when left
        w.SSCommand3->click();
        ASSERT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join('|').toStdString();

        boxes->answer(platform::MsgResult::Yes);
        w.SSCommand1->click();
        ASSERT_TRUE(boxes.texts().contains("Az adatfelvitel sikeresen lezajlott!")) << boxes.texts().join('|').toStdString();
        ASSERT_TRUE(w.SSCheck1->isChecked());
        boxes->clear();

        w.certificateButton()->click();
        ASSERT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join('|').toStdString();
        const QString certificate = platform::printer().lastOutputFile();
        ASSERT_FALSE(certificate.isEmpty());
        EXPECT_EQ(pdfPages(certificate), 1);
        const QString c = run("pdftotext", {"-layout", certificate, "-"});
        for (const char* t : {"Tanúsítvány (műtétes)", "1234 Városi Kórház", "0211 Sebészet", "Törzsszám: 111111111",
                              "12345", "Csípőprotézis beültetés", "Amoxil kapszula", "2,50", "aláírás", "pecsét"})
            EXPECT_TRUE(c.contains(QString::fromUtf8(t))) << t << "\n" << c.toStdString();

        w.mind->trigger();
        attekintform* o = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* a = qobject_cast<attekintform*>(t))
                o = a;
        ASSERT_TRUE(o);
        o->listmenu->trigger();
        ASSERT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join('|').toStdString();
        EXPECT_FALSE(printlib::Job) << "released once its preview closed";
        const QString list = platform::printer().lastOutputFile();
        ASSERT_NE(list, certificate);
        EXPECT_EQ(pdfPages(list), 1);
        const QString l = run("pdftotext", {"-layout", list, "-"});
        for (const char* t : {"1234, Városi Kórház", "Ráfordítási tételek", "111111111", "Műtét: 12345", "- 12",
                              "Amoxil kapszula", "120,00", "Összesen", "1. oldal"})
            EXPECT_TRUE(l.contains(QString::fromUtf8(t))) << t << "\n" << l.toStdString();
        o->close();
        EXPECT_TRUE(w.isVisible());
    }

    printlib::setModalDriver({});
    printlib::Job.reset();
    platform::ActivationTracker::instance().reset();
    QDir::setCurrent(old);
}
