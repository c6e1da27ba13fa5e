// End to end through the windows: a two-page document is previewed, printed
// from the preview through the print dialog to the PDF printer, and the PDF
// is read back with the poppler tools.
#include "printlib/frmPreview.h"
#include "printlib/frmPrintDialog.h"
#include "tests/printlib/ui_support.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRegularExpression>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

class EndToEndTest : public uitest::LibraryWindowsTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(folder.path()); // the PDF printer writes under the working folder
        LibraryWindowsTest::SetUp();
    }
    void TearDown() override
    {
        LibraryWindowsTest::TearDown();
        QDir::setCurrent(previous);
    }
    QTemporaryDir folder;
    QString previous;
};

TEST_F(EndToEndTest, previewThenPrintToPdfGivesTwoPagesWithTheirTexts)
{
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty() || QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "poppler tools missing";
    job().Labels.Add("Első oldal szövege", 0, 0, 150, 10);
    job().PageBreaks.Add();
    job().Labels.Add("Második oldal szövege", 0, 0, 150, 10);

    QString statusSeen;
    bool dialogSeen = false;
    printlib::setModalDriver([&](QDialog& d) {
        if (auto* p = qobject_cast<printlib::frmPreview*>(&d)) {
            statusSeen = p->txtStatus->text();
            p->Buttons(12)->trigger(); // "print"
        } else if (auto* dlg = qobject_cast<printlib::frmPrint*>(&d)) {
            dialogSeen = true;
            const int pdf = dlg->cboPrinters->findText(platform::pdfPrinterName());
            ASSERT_GE(pdf, 0);
            dlg->cboPrinters->setCurrentIndex(pdf);
            dlg->cmdPrint->click();
        }
    });
    job().PreviewDoc(nullptr);

    EXPECT_EQ(statusSeen, "1 / 2");
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(platform::printer().DeviceName(), platform::pdfPrinterName()) << "the chosen printer stays current";
    const QString pdf = platform::printer().lastOutputFile();
    ASSERT_FALSE(pdf.isEmpty());
    ASSERT_TRUE(QFile::exists(pdf)) << pdf.toStdString();
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();

    const QString info = run("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+2\\b"))) << info.toStdString();
    const QString page1 = run("pdftotext", {"-f", "1", "-l", "1", pdf, "-"});
    const QString page2 = run("pdftotext", {"-f", "2", "-l", "2", pdf, "-"});
    EXPECT_TRUE(page1.contains("Első oldal szövege")) << page1.toStdString();
    EXPECT_FALSE(page1.contains("Második"));
    EXPECT_TRUE(page2.contains("Második oldal szövege")) << page2.toStdString();
}

} // namespace
