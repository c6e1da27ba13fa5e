// The period dialog's list modes in the main window print the control list
// of their mode, after the question, on the current printer.
#include "app/common/datafolder.h"
#include "app/common/kezdo.h"
#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"
#include "platform/print/printer.h"
#include "platform/print/recordingdevice.h"
#include "platform/sys/regional.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/events.h"
#include "tests/support/scriptedboxes.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using platform::MsgResult;

namespace {

class ListsWindow : public ::testing::Test {
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
        device = d.get();
        platform::installPrintDevice(std::move(d));
        db = platform::db::Database::open(QDir(m_dir.path()).filePath("madatok.mdb"));
        db->exec("insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Tsor, Fdat, Fido, Okod, Ojele, Tdat, "
                 "Tido, Vjel, Manuális) values (1, '1234', '1', '111111111', '123456788', '0', '2005.03.01.', "
                 "'08:00:00', '0101', 'A', '2005.03.05.', '12:00:00', 0, 1)");
        db->exec("insert into Ráfkódok (Azonosito, Rkod, Rmen, Rmegnevezés, Tipus, Me, Érték, Manuális, Fdat) "
                 "values ('1', 'G0001', '1,00', 'Aspirin', 'G', 'db', 100, 1, '2005.03.01.')");
        window = std::make_unique<kezdo>(ProgramInfo::sebrix());
        window->anotherInstanceRunning = [] { return false; };
        window->show();
    }
    void TearDown() override
    {
        window.reset();
        db.reset();
        m_regional.reset();
        platform::ActivationTracker::instance().reset();
        QDir::setCurrent(m_previous);
    }

    // Opens the dialog in a list mode for March 2005 and presses "OK".
    void run(void (kezdo::*open)())
    {
        (window.get()->*open)();
        window->Text16->setText("2005");
        window->Combo1->setCurrentIndex(window->Combo1->findText("03"));
        window->SSCommand17->click();
    }

    testsupport::ScriptedBoxes boxes;
    std::unique_ptr<kezdo> window;
    std::shared_ptr<platform::db::Database> db;
    platform::RecordingDevice* device = nullptr;

private:
    QTemporaryDir m_dir;
    QString m_previous;
    std::optional<platform::ScopedRegional> m_regional;
};

} // namespace

TEST_F(ListsWindow, each_list_mode_prints_its_own_list)
{
    db->exec("insert into intadatok (int_kod, Int_neve) values ('1234', 'Városi Kórház')");
    const struct {
        const char* mode;
        void (kezdo::*open)();
        QStringList questions;
        QString identifyingText; // a text only this list prints
    } cases[] = {
        {"1", &kezdo::elso_Click, {"Nyomtatás indulhat?"}, "Ápolási eset  Ráfordítási tétel"},
        {"2", &kezdo::mas_Click, {"Nyomtatás indulhat?", "Meg akarja tekinteni?"}, "RÁFORDÍTÁSI HIBALISTA"},
        {"3", &kezdo::har_Click, {"Nyomtatás indulhat?"}, "01011111111112005.03.01.2005.03.05.4"},
    };
    for (const auto& c : cases) {
        device->clearDocuments();
        boxes->clear();
        boxes->answer(MsgResult::Yes);
        boxes->answer(MsgResult::No);
        run(c.open);
        EXPECT_EQ(boxes.texts(), c.questions) << c.mode;
        ASSERT_EQ(device->documents().size(), 1u) << c.mode;
        EXPECT_TRUE(device->documents()[0].ended);
        EXPECT_TRUE(device->documents()[0].pages.at(0).texts().contains(c.identifyingText))
            << c.mode << ": " << device->documents()[0].pages.at(0).texts().join(" | ").toStdString();
        EXPECT_FALSE(window->SSFrame5->isVisible()) << c.mode;
    }

    // Answered No, nothing is printed; the error list still offers the grid.
    device->clearDocuments();
    boxes->clear();
    boxes->answer(MsgResult::No);
    boxes->answer(MsgResult::Yes);
    run(&kezdo::mas_Click);
    EXPECT_TRUE(device->documents().empty());
    EXPECT_TRUE(window->DBGrid5->isVisible());
}

TEST_F(ListsWindow, no_list_without_institution_data)
{
    for (auto open : {&kezdo::elso_Click, &kezdo::mas_Click, &kezdo::har_Click}) {
        boxes->clear();
        run(open);
        ASSERT_EQ(boxes.shown().size(), 1);
        EXPECT_EQ(boxes.shown()[0].text, "Ki kell töltenie az intézeti adatokat!");
        EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Critical);
        EXPECT_EQ(boxes.shown()[0].title, "Sebrix");
    }
    EXPECT_TRUE(device->documents().empty());
}
