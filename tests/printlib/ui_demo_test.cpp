// The demonstration window: its samples build and preview, and its failures
// are reported without ending the program.
#include <QSet>
#include "platform/db/dataconnection.h"
#include "printlib/frmDemo.h"
#include "printlib/frmPreview.h"
#include "tests/printlib/ui_support.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

class DemoTest : public uitest::LibraryWindowsTest {
protected:
    void SetUp() override
    {
        LibraryWindowsTest::SetUp();
        printlib::setModalDriver([this](QDialog& d) {
            if (auto* p = qobject_cast<printlib::frmPreview*>(&d)) {
                ++previews;
                pagesSeen = p->intPageCount;
            }
        });
    }

    QString sampleDatabase()
    {
        const QString path = dir.filePath("Projectek.mdb");
        QFile script(RAFORDIT_SOURCE_DIR "/data/sample/Projectek.sql");
        EXPECT_TRUE(script.open(QIODevice::ReadOnly));
        platform::db::Database::create(path)->execScript(QString::fromUtf8(script.readAll()));
        return path;
    }

    QTemporaryDir dir;
    int previews = 0;
    int pagesSeen = 0;
};

TEST_F(DemoTest, createJob1BuildsTheSampleFromProjectek)
{
    printlib::frmTest demo;
    EXPECT_EQ(demo.windowTitle(), "Test");
    demo.databasePath = sampleDatabase();
    demo.Command1->click();
    ASSERT_EQ(boxes.texts(), QStringList{"job created"});
    ASSERT_TRUE(printlib::Job);
    ASSERT_EQ(job().Tables.Count(), 1);
    const auto& table = job().Tables.Item(1);
    EXPECT_EQ(table->TextArray.UBound1(), 4);
    EXPECT_EQ(table->TextArray.UBound2(), 13) << "titles and the twelve sample rows";
    EXPECT_EQ(table->TextArray(1, 1), "Azonosító");
    EXPECT_EQ(table->TextArray(2, 2), "Kórházi ágynyilvántartás");
    EXPECT_EQ(table->TextArray(3, 13), "") << "an empty field gives an empty text";
    EXPECT_TRUE(table->TextArray(4, 2).endsWith(",,,,"));
    EXPECT_EQ(job().LeftMargin(), 10);
    EXPECT_EQ(job().TopMargin(), 30);
    EXPECT_EQ(previews, 0) << "Create Job 1 does not preview";

    demo.Command8->click();
    demo.Command3->click();
    EXPECT_EQ(previews, 2) << "Preview and Nyomtat modulból behave alike";
    EXPECT_GE(pagesSeen, 3);
}

TEST_F(DemoTest, rotatedSampleTextsTurnByTenthsOfADegree)
{
    printlib::frmTest demo;
    demo.databasePath = sampleDatabase();
    demo.Command1->click();
    ASSERT_TRUE(printlib::Job);
    // Angles are escapements in tenths of a degree: "payments" runs upwards
    // (900), the sample labels lean at 50 and 40 degrees.
    QSet<int> angles;
    for (int i = 1; i <= job().LabelsEx.Count(); ++i)
        angles.insert(job().LabelsEx.Item(i)->Angle);
    EXPECT_TRUE(angles.contains(900));
    EXPECT_TRUE(angles.contains(500));
    EXPECT_TRUE(angles.contains(400));
    for (int a : angles)
        EXPECT_TRUE(a == 0 || std::abs(a) >= 100) << "an angle of " << a << " tenths is hardly a turn";
}

TEST_F(DemoTest, invoiceIsPreviewedAtOnce)
{
    printlib::frmTest demo;
    demo.Command2->click();
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(pagesSeen, 1);
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();
}

TEST_F(DemoTest, failuresAreReportedAndTheWindowStays)
{
    printlib::frmTest demo;
    demo.databasePath = dir.filePath("nincs.mdb");
    demo.Command1->click();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown().first().title, "Attention");

    // An empty table has no record to move to.
    const QString empty = dir.filePath("ures.mdb");
    platform::db::Database::create(empty)->execScript(
        "CREATE TABLE Projectek (PrAzonosito INTEGER, PrNev TEXT, PrTipus TEXT);");
    demo.databasePath = empty;
    boxes.clear();
    demo.Command1->click();
    EXPECT_EQ(boxes.texts(), QStringList{"3021  No current record."});

    // Without any document, Preview and Print say so.
    printlib::Job.reset();
    boxes.clear();
    demo.Command8->click();
    demo.Command7->click();
    EXPECT_EQ(boxes.texts(), QStringList({"18  There is no job for print, before you must create a job.",
                                          "18  There is no job for print, before you must create a job."}));
    EXPECT_EQ(previews, 0);
}

} // namespace
