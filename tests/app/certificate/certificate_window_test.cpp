// The certificate button on the main window: what the certificate reads of
// the shown episode, its refusals, and where the item list is left.
#include "app/common/datafolder.h"
#include "app/common/kezdo.h"
#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"
#include "platform/print/printer.h"
#include "platform/print/recordingdevice.h"
#include "platform/sys/regional.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/events.h"
#include "tests/support/otherprogram.h"
#include "tests/support/scriptedboxes.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using platform::db::Database;

namespace {

class CertificateWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = QDir::currentPath();
        QString error;
        ASSERT_TRUE(makeDataFolder(m_dir.path(), ProgramInfo::sebrix(), &error)) << error.toStdString();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
        ProgramInfo::setCurrent(ProgramInfo::sebrix());
        platform::setDefaultMsgBoxTitle("Sebrix");
        platform::ActivationTracker::instance().reset();
        m_regional.emplace("%Y.%m.%d.", "%H:%M:%S", QDateTime(QDate(2005, 8, 24), QTime(9, 59, 0)));
        auto d = std::make_unique<platform::RecordingDevice>(600);
        dev = d.get();
        platform::installPrintDevice(std::move(d));
        db = Database::open(QDir(m_dir.path()).filePath("madatok.mdb"));
        db->exec("insert into intadatok (int_kod, Int_neve) values ('1234', 'Városi Kórház')");
        db->exec("insert into Osztálykódok (Okod, Megnevezés, Ojelleg) values ('0101', 'Sebészet', '1'), "
                 "('0202', 'Belgyógyászat', '1')");
        db->exec("insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Tsor, Fdat, Fido, Okod, Ojele, Tdat, "
                 "Tido) values (1, '1234', '1', '111111111', '123456788', '01', '2005.08.01.', '08:00:00', '0101', "
                 "'0', '2005.08.05.', '12:00:00')");
        db->exec("insert into Ráfkódok (Azonosito, Rkod, Rmen, Rmegnevezés, Tipus, Me, Mkod) values "
                 "('1', 'B2', '1,00', 'Második', 'G', 'db', '11111'), ('1', 'A1', '2,00', 'Első', 'G', 'db', '11111'), "
                 "('2', 'X9', '1,00', 'Másé', 'G', 'db', '11111')");
    }
    void TearDown() override
    {
        window.reset();
        db.reset();
        m_regional.reset();
        platform::ActivationTracker::instance().reset();
        QDir::setCurrent(m_previous);
    }

    // The main window reviewing the stored episode 1.
    kezdo& openOnStoredEpisode()
    {
        window = std::make_unique<kezdo>(ProgramInfo::sebrix());
        window->anotherInstanceRunning = [] { return false; };
        window->show();
        window->tete_Click();
        EXPECT_TRUE(window->SSCheck1->isChecked());
        EXPECT_EQ(window->Label1->text(), "1");
        boxes->clear();
        return *window;
    }

    QStringList printedTexts() const
    {
        QStringList out;
        for (const auto& page : dev->documents().back().pages)
            out << page.texts();
        return out;
    }

    testsupport::ScriptedBoxes boxes;
    platform::RecordingDevice* dev = nullptr;
    std::shared_ptr<Database> db;
    std::unique_ptr<kezdo> window;

private:
    QTemporaryDir m_dir;
    QString m_previous;
    std::optional<platform::ScopedRegional> m_regional;
};

} // namespace

TEST_F(CertificateWindowTest, prints_the_shown_episode_with_its_stored_ward_and_leaves_its_items_listed)
{
    kezdo& w = openOnStoredEpisode();
    w.DBCombo1->setText("0202"); // a combo text that is not the episode's
    w.certificateButton()->click();
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join('|').toStdString();
    ASSERT_EQ(dev->documents().size(), 1u);
    const QStringList texts = printedTexts();
    EXPECT_TRUE(texts.contains("1234 Városi Kórház"));
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const QString& t) { return t.startsWith("0101 Sebészet ("); }))
        << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains("Törzsszám: 111111111"));
    EXPECT_TRUE(texts.indexOf("A1") < texts.indexOf("B2")) << "items by type, surgery and code";
    EXPECT_FALSE(texts.contains("X9")) << "only the shown episode's items";
    EXPECT_EQ(w.Data8->recordSource(), "select * from Ráfkódok where Azonosito= ? order by Tipus,Mkod,Rkod");
    EXPECT_EQ(w.Data8->recordSourceParams(), QVariantList{"1"});
}

TEST_F(CertificateWindowTest, a_ward_written_by_another_program_after_the_mode_began_is_found)
{
    db->exec("delete from Osztálykódok where Okod = '0101'");
    kezdo& w = openOnStoredEpisode();
    {
        testsupport::OtherProgram other(db->path());
        other.run("insert into Osztálykódok (Okod, Megnevezés, Ojelleg) values ('0101', 'Sebészet', '1')");
    }
    w.certificateButton()->click();
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join('|').toStdString();
    ASSERT_EQ(dev->documents().size(), 1u);
    const QStringList texts = printedTexts();
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const QString& t) { return t.startsWith("0101 Sebészet ("); }))
        << texts.join('|').toStdString();
}

TEST_F(CertificateWindowTest, refusals_print_nothing_and_keep_the_shown_episodes_items)
{
    struct Case {
        const char* breakIt;
        QString message;
    };
    const QList<Case> cases = {
        {"delete from intadatok", "Intézetnév hiba!"},
        {"insert into intadatok (int_kod, Int_neve) values ('1234', 'Városi Kórház');"
         "delete from Osztálykódok where Okod = '0101'",
         "Osztálynév hiba!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.breakIt);
        db->execScript(c.breakIt);
        kezdo& w = openOnStoredEpisode();
        w.Data2->refresh();
        w.certificateButton()->click();
        const auto& box = boxes.single();
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.title, "Figyelmeztetés");
        EXPECT_EQ(box.icon, platform::MsgIcon::Critical);
        EXPECT_TRUE(dev->documents().empty());
        EXPECT_EQ(w.Data8->recordSourceParams(), QVariantList{"1"}) << "the list still shows the episode's items";
        EXPECT_EQ(w.Data8->recordset().recordCount(), 2);
        window.reset();
    }
}

TEST_F(CertificateWindowTest, a_printer_failure_cancels_the_document_and_is_reported)
{
    kezdo& w = openOnStoredEpisode();
    dev->onPageStart = [](int) { throw platform::PrinterError(482, "Nyomtatóhiba"); };
    w.certificateButton()->click();
    const auto& box = boxes.single();
    EXPECT_TRUE(box.text.contains("482")) << box.text.toStdString();
    EXPECT_EQ(box.title, "Hiba");
    for (const auto& doc : dev->documents())
        EXPECT_FALSE(doc.ended) << "nothing of the certificate comes out";
    EXPECT_FALSE(platform::printer().inDocument());
}

TEST(WardCertificateWindow, the_ward_button_prints_the_ward_certificate_of_the_reviewed_episode)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString old = QDir::currentPath();
    const ProgramInfo& z = ProgramInfo::zorivozure();
    QString error;
    ASSERT_TRUE(makeDataFolder(dir.path(), z, &error)) << error.toStdString();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    ProgramInfo::setCurrent(z);
    platform::setDefaultMsgBoxTitle(z.name);
    platform::ActivationTracker::instance().reset();
    platform::ScopedRegional regional("%Y.%m.%d.", "%H:%M:%S", QDateTime(QDate(2005, 8, 24), QTime(9, 59, 0)));
    testsupport::ScriptedBoxes boxes;
    auto device = std::make_unique<platform::RecordingDevice>(600);
    platform::RecordingDevice* dev = device.get();
    platform::installPrintDevice(std::move(device));
    auto db = Database::open(QDir(dir.path()).filePath(z.enteredDataFile));
    db->exec("insert into intadatok (int_kod, Int_neve) values ('1234', 'Városi Kórház')");
    db->exec("insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Tsor, Fdat, Fido, Okod, Ojele, Tdat, Tido) "
             "values (1, '1234', '1', '111111111', '123456788', '01', '2005.08.01.', '08:00:00', '0211', '0', "
             "'2005.08.05.', '12:00:00')");
    db->exec("insert into Ráfkódok (Azonosito, Rkod, Rmen, Rmegnevezés, Tipus, Me) values "
             "('1', 'L1', '3,00', 'Étkezés', 'L', 'Nap'), ('1', 'E1', '1,00', 'Labor', 'E', 'vizsgálatonként')");
    {
        kezdo w(z);
        w.anotherInstanceRunning = [] { return false; };
        w.show();
        w.tete->trigger();
        ASSERT_TRUE(w.SSCheck1->isChecked());
        boxes->clear();
        w.certificateButton()->click();
        EXPECT_EQ(w.certificateButton()->objectName(), "SSCommand31");
        EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join('|').toStdString();
        ASSERT_EQ(dev->documents().size(), 1u);
        const QStringList texts = dev->documents().back().pages.at(0).texts();
        EXPECT_TRUE(texts.contains("Tanúsítvány (osztályos)"));
        EXPECT_TRUE(texts.contains("Taj szám:   123456788"));
        EXPECT_TRUE(texts.contains("vizsgálato")) << "the unit cut to ten characters";
        EXPECT_LT(texts.indexOf("E1"), texts.indexOf("L1")) << "items by type, then code";
        EXPECT_EQ(w.Data8->recordSource(), "select * from Ráfkódok where Azonosito= ? order by Tipus,Rkod");
    }
    db.reset();
    platform::ActivationTracker::instance().reset();
    QDir::setCurrent(old);
}
